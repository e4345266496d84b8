#pragma once
#include "CostModel.h"
#include "MatchLookup.h"
#include "SuffixIndex.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// A cover as the matching finds it: new bytes given by the old text at one alignment, differences
// and all.
struct FoundCover {
    size_t newPos = 0;
    size_t textPos = 0;
    size_t length = 0;
};

// Finds the covers of newData[begin, end), in order and not overlapping: approximate matches
// against the text of `index`, whose exact matches `lookup` finds (the index itself, or the
// anchors of its text). It walks the new bytes keeping one alignment (new position to old text
// position) while the old bytes there agree, and looks up the longest exact match of the
// bytes ahead; when that match beats what the current alignment agrees on by the model's
// margin, the current cover ends where extending it stops paying and a new one begins,
// extended backwards the same way. `startText` is the text position assumed for `begin`
// before any match is found (SIZE_MAX for none).
std::vector<FoundCover> FindCovers(const SuffixIndex& index, const MatchLookup& lookup,
                                   const uint8_t* newData, size_t begin, size_t end,
                                   size_t startText, const CostModel& model);

} // namespace blockdiff
