#pragma once
#include "BlockError.h"
#include "BlockHeader.h"
#include "CachedReader.h"
#include "ReferencePredictor.h"
#include "WorkPacer.h"

#include <cstdint>

namespace blockdiff {

// The decoded streams of one block; their sizes are in the block's header.
struct BlockStreams {
    const uint8_t* covers = nullptr;
    const uint8_t* positions = nullptr;
    const uint8_t* differences = nullptr;
    const uint8_t* literals = nullptr;
};

// Where a block is rebuilt: the old file of `oldSize` bytes read through `old`, and, for a
// predicted block, the predictor and the block's offset in the new file.
struct RebuildSource {
    plumbing::CachedReader& old;
    uint64_t oldSize;
    const ReferencePredictor* predictor;
    uint64_t blockStart;
};

// Rebuilds one block's output into `out` (header.outputSize bytes): literals and covers in
// turn, each cover copied from the old file, its references predicted in a predicted block,
// and its differences added, checking every cover and that each stream is used up exactly.
// `at` is the block's offset in the payload, for failures.
bool RebuildBlock(const BlockHeader& header, const BlockStreams& streams,
                  const RebuildSource& source, uint8_t* out, WorkPacer& pacer, uint64_t at,
                  Failure& failure);

} // namespace blockdiff
