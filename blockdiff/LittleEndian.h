#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The fixed-size integers of the block format: unsigned, little-endian.
namespace blockdiff {

inline uint64_t LoadLittleEndian(const uint8_t* bytes, size_t width) {
    uint64_t value = 0;
    for (size_t i = width; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

inline void AppendLittleEndian(std::vector<uint8_t>& out, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

} // namespace blockdiff
