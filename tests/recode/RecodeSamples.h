#pragma once
#include "RecodeDecoder.h"
#include "RecodeEncoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace recode::test {

using Bytes = std::vector<uint8_t>;

// The payload of `newFile` from `oldFile`; fails the test when the encoder does.
Bytes Encode(const Bytes& oldFile, const Bytes& newFile, StreamPlan* plan = nullptr);

struct Decoded {
    bool ok = false;
    Bytes result;
    Failure failure;
    blockdiff::Failure delta;
    uint64_t ticks = 0;
};
// The payload decoded as the engine decodes it, with in-memory scratch files.
Decoded DecodePayload(const Bytes& payload, const Bytes& oldFile, uint64_t newSize,
                      uint64_t stopAfterTicks = UINT64_MAX);

// A shell command's output: `command` runs in a fresh folder holding `input` as the file
// `in` and writes the file `out`.
Bytes RunTool(const std::string& command, const Bytes& input);

// A raw deflate stream of `content` in a zlib header (naming the window and level it was
// made with) and Adler-32, as the finder needs it.
Bytes ZlibWrap(const Bytes& raw, const Bytes& content, int windowBits = 15, int level = 6);

Bytes Concat(std::initializer_list<Bytes> parts);

} // namespace recode::test
