#pragma once
#include "RawInflate.h"
#include "StreamFinder.h"

#include <cstddef>
#include <cstdint>

namespace deflatestream {

// The checks of each wrapper at one offset: true with the stream when its header, its
// deflate stream and its checksum all hold. A candidate whose header fails costs no
// inflating; `work` grows by what inflating cost.
struct Candidate {
    const uint8_t* data;
    size_t size;
    size_t offset;
    uint64_t maxContent;
};

bool ZipEntryAt(const Candidate& at, FoundStream& found, uint64_t& work);
bool GzipMemberAt(const Candidate& at, FoundStream& found, uint64_t& work);
bool ZlibStreamAt(const Candidate& at, FoundStream& found, uint64_t& work);
bool PngImageAt(const Candidate& at, FoundStream& found, uint64_t& work);

// Whether two bytes are a zlib header: deflate, a window of at most 32 KiB, the check bits.
bool IsZlibHeader(const uint8_t* header);
// The header's flag for a preset dictionary, whose content cannot be checked without it.
constexpr uint8_t kZlibPresetDictionary = 0x20;

// Whether the bytes can begin a deflate stream: a first block header zlib would read on.
bool PlausibleDeflateStart(const uint8_t* data, size_t size);

inline uint32_t Le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8);
}
inline uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}
inline uint32_t Be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
inline uint64_t Le64(const uint8_t* p) {
    return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32;
}

} // namespace deflatestream
