#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Variable-length integers, as VCDIFF writes them and the block format borrows: big-endian
// base 128, the high bit of each byte set on all but the last.
namespace plumbing {

// A 64-bit value takes at most ten bytes; a longer integer is rejected even if its leading
// bytes are zero, so a hostile stream cannot make a reader loop on padding.
constexpr size_t kMaxVarintBytes = 10;

enum class VarintStatus {
    Ok,       // value read, `pos` advanced past it
    NeedMore, // the bytes ended inside the integer; `pos` unchanged
    Invalid,  // more than ten bytes or a value beyond 64 bits; `pos` unchanged
};

VarintStatus ReadLongVarint(const uint8_t* data, size_t size, size_t& pos, uint64_t& value);

// Most sizes and addresses in a delta take one byte: that case is inline, for the decoder's
// instruction loop.
inline VarintStatus ReadVarint(const uint8_t* data, size_t size, size_t& pos, uint64_t& value) {
    if (pos < size && data[pos] < 0x80) {
        value = data[pos++];
        return VarintStatus::Ok;
    }
    return ReadLongVarint(data, size, pos, value);
}

size_t VarintLength(uint64_t value);
void AppendVarint(std::vector<uint8_t>& out, uint64_t value);

} // namespace plumbing
