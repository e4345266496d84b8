#pragma once
#include "Streams.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace deflatestream {

// Little-endian base-128: small numbers, the common case in a parse, take one byte.
void PutVarint(std::vector<uint8_t>& out, uint64_t value);

// Reads from a byte stream of the parse, which is as hostile as any input: every read is
// checked and a failed one stays failed. The stream is in memory, or read from an input a
// piece at a time, so that a parse of any size need not be held whole.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& bytes)
        : ByteReader(bytes.data(), bytes.size()) {}
    explicit ByteReader(ByteInput& input) : input_(&input), buffer_(kPiece) {}
    bool Byte(uint8_t& value) {
        if (position_ == size_ && !Refill()) {
            failed_ = true;
            return false;
        }
        value = data_[position_++];
        return !failed_;
    }
    bool Varint(uint64_t& value);
    bool AtEnd() { return position_ == size_ && !Refill(); }
    bool Failed() const { return failed_; }
    // Bytes read so far.
    uint64_t Position() const { return consumed_ + position_; }

private:
    static constexpr size_t kPiece = 4096;
    // The next piece of an input; false at its end, or for bytes in memory.
    bool Refill();

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
    bool failed_ = false;
    ByteInput* input_ = nullptr;
    std::vector<uint8_t> buffer_;
    uint64_t consumed_ = 0; // of the pieces before this one
};

} // namespace deflatestream
