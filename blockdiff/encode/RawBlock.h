#pragma once
#include "BlockPlan.h"
#include "ReferencePredictor.h"
#include "SuffixIndex.h"

#include <cstdint>
#include <vector>

namespace blockdiff {

// One block's streams before compression, with both forms of its differences.
struct RawBlock {
    uint32_t outputSize = 0;
    uint32_t outputCrc = 0;
    uint64_t coveredBytes = 0;
    bool predicted = false; // the differences are against predicted references
    std::vector<uint8_t> covers;
    std::vector<uint8_t> dense;
    // The sparse form; unusable (sparseFits false) when its streams together are longer than
    // the dense form, which bounds what a decoder holds.
    std::vector<uint8_t> positions;
    std::vector<uint8_t> sparse;
    bool sparseFits = false;
    std::vector<uint8_t> literals;
};

// The new bytes and old text a slice's blocks are built from: the slice starts at
// `sliceStart` of the new file; with a predictor, the differences are taken against the
// predicted references of each cover.
struct BlockSource {
    const uint8_t* newData;
    uint64_t sliceStart;
    const SuffixIndex& index;
    const ReferencePredictor* predictor;
};

// Builds the streams of `plan`. Throws std::bad_alloc.
RawBlock BuildRawBlock(const BlockPlan& plan, const BlockSource& source);

// The covered bytes of `plan` that differ from what its covers give: a cheap measure of what
// its differences cost.
uint64_t DifferingBytes(const BlockPlan& plan, const BlockSource& source);

} // namespace blockdiff
