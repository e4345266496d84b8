#pragma once
#include "BlockError.h"
#include "BlockHeader.h"
#include "SegmentReader.h"
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

// Rebuilds one block's output into `out` (header.outputSize bytes): literals and covers in
// turn, each cover copied from the old file and its differences added, checking every cover
// and that each stream is used up exactly. `old` reads the old file of `oldSize` bytes; `at`
// is the block's offset in the payload, for failures.
bool RebuildBlock(const BlockHeader& header, const BlockStreams& streams,
                  vcdiff::SegmentReader& old, uint64_t oldSize, uint8_t* out, WorkPacer& pacer,
                  uint64_t at, Failure& failure);

} // namespace blockdiff
