#pragma once
#include "Streams.h"

#include <cstdint>
#include <vector>

namespace deflatestream {

// Reads a deflate stream's bits, least significant first, pulling its bytes in pieces. Bits
// past the input's end read as zero for a look ahead, but are never consumed: Need says
// whether they are there.
class BitReader {
public:
    explicit BitReader(ByteInput& input);

    // Whether n bits (at most 32) are there to consume.
    bool Need(unsigned n);
    // The next n bits (at most 32) without consuming them; Need(n) or fewer first.
    uint32_t Peek(unsigned n) const { return static_cast<uint32_t>(bits_ & ((1ull << n) - 1)); }
    void Drop(unsigned n);
    bool Take(unsigned n, uint32_t& value);
    // Whole bytes once the reader is at a byte boundary; false when fewer are there.
    bool TakeBytes(uint8_t* out, size_t count);
    uint64_t ConsumedBits() const { return consumed_; }
    unsigned BitsToByteBoundary() const { return static_cast<unsigned>(-consumed_ & 7); }
    // How many bits are buffered: for a decoder that tries a short code at the very end.
    unsigned Buffered() const { return count_; }

private:
    bool Refill();

    ByteInput& input_;
    std::vector<uint8_t> buffer_;
    size_t position_ = 0;
    size_t end_ = 0;
    bool ended_ = false;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    uint64_t consumed_ = 0;
};

} // namespace deflatestream
