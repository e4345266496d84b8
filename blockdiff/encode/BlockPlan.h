#pragma once
#include "CoverFinder.h"
#include "SuffixIndex.h"

#include <cstddef>
#include <vector>

namespace blockdiff {

// One block to be written: the new bytes [begin, end) of a slice and the covers in it,
// cut at the block's edges.
struct BlockPlan {
    size_t begin = 0;
    size_t end = 0;
    std::vector<FoundCover> covers;
};

// Cuts the new bytes [0, length) of a slice, with the covers found in it (in order), into
// blocks of at most format::kMaxBlockOutput bytes, ending a block early where its cover
// records would exceed format::kMaxCoverBytes.
std::vector<BlockPlan> PlanBlocks(const std::vector<FoundCover>& covers, size_t length,
                                  const SuffixIndex& index);

} // namespace blockdiff
