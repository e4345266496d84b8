#pragma once
#include "BlockPlan.h"
#include "SuffixIndex.h"

#include <cstdint>
#include <vector>

namespace blockdiff {

// One block's streams before compression, with both forms of its differences.
struct RawBlock {
    uint32_t outputSize = 0;
    uint32_t outputCrc = 0;
    uint64_t coveredBytes = 0;
    std::vector<uint8_t> covers;
    std::vector<uint8_t> dense;
    // The sparse form; unusable (sparseFits false) when its streams together are longer than
    // the dense form, which bounds what a decoder holds.
    std::vector<uint8_t> positions;
    std::vector<uint8_t> sparse;
    bool sparseFits = false;
    std::vector<uint8_t> literals;
};

// Builds the streams of `plan` from the segment's new bytes `newData` and the index's text.
// Throws std::bad_alloc.
RawBlock BuildRawBlock(const BlockPlan& plan, const uint8_t* newData, const SuffixIndex& index);

} // namespace blockdiff
