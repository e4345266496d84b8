#pragma once
#include <cstddef>
#include <cstdint>

namespace deflatestream {

// What zlib's inflate makes of the raw deflate stream at the start of some bytes.
struct Inflated {
    uint64_t streamBytes = 0;
    uint64_t contentBytes = 0;
    uint32_t crc32 = 0;
    uint32_t adler32 = 1;
};

// Inflates the raw deflate stream at `data` to the end of its final block, keeping only
// the content's size and checksums; false when the stream is damaged, ends early or its
// content passes `maxContent`. `work` grows by the content inflated, also on failure: the
// caller's bound on what trying candidates may cost.
bool InflateRaw(const uint8_t* data, size_t size, uint64_t maxContent, Inflated& result,
                uint64_t& work);

} // namespace deflatestream
