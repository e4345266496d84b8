#pragma once
#include "Streams.h"

#include <cstdint>
#include <vector>

namespace deflatestream {

// Writes bits least significant first, handing whole bytes to the output in pieces.
class BitWriter {
public:
    explicit BitWriter(ByteOutput& output);
    // n at most 32; the bits above n must be zero.
    bool Put(uint32_t bits, unsigned n);
    bool PutBytes(const uint8_t* data, size_t size);
    // Hands every whole byte to the output; the writer is then at a byte boundary when the
    // bits written fill whole bytes.
    bool Flush();
    uint64_t WrittenBits() const { return written_; }
    unsigned BitsToByteBoundary() const { return static_cast<unsigned>(-written_ & 7); }

private:
    bool Drain();

    ByteOutput& output_;
    std::vector<uint8_t> buffer_;
    size_t end_ = 0;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    uint64_t written_ = 0;
};

} // namespace deflatestream
