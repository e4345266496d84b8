#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Fixed-size unsigned integers of the formats and images the engine reads: little-endian,
// `width` bytes of at most eight.
namespace plumbing {

inline uint64_t LoadLittleEndian(const uint8_t* bytes, size_t width) {
    uint64_t value = 0;
    for (size_t i = width; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

inline void StoreLittleEndian(uint8_t* bytes, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

inline void AppendLittleEndian(std::vector<uint8_t>& out, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

} // namespace plumbing
