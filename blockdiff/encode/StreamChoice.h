#pragma once
#include "StreamCoder.h"

#include <cstdint>
#include <vector>

namespace blockdiff {

// A set of coders, one bit per coders::Coder value.
using CoderSet = uint8_t;
constexpr CoderSet kAllCoders = (1u << coders::kCoderCount) - 1;
constexpr CoderSet CoderBit(coders::Coder coder) {
    return static_cast<CoderSet>(1u << static_cast<unsigned>(coder));
}

// One stream as it goes into the payload.
struct StoredStream {
    coders::Coder coder = coders::Coder::Store;
    uint32_t rawSize = 0;
    std::vector<uint8_t> bytes;
};

// Whether a stream of `size` bytes is better than one of `best` bytes when it decodes faster:
// a slower decoder has to save more than 1/64 of the stream and 32 bytes.
bool SmallEnoughToPrefer(size_t size, size_t best);

// Compresses `raw` with each coder of `allowed` (Store is always a candidate) and keeps the
// smallest result, unless a faster decoder gives one SmallEnoughToPrefer: decoders from
// fastest to slowest are store, zstd, deflate, xz. False when an encoder could not get its
// memory.
bool ChooseCoder(const std::vector<uint8_t>& raw, CoderSet allowed, StoredStream& chosen);

} // namespace blockdiff
