#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace deflatestream {

// Little-endian base-128: small numbers, the common case in a parse, take one byte.
void PutVarint(std::vector<uint8_t>& out, uint64_t value);

// Reads from a byte stream of the parse, which is as hostile as any input: every read is
// checked and a failed one stays failed.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& bytes)
        : ByteReader(bytes.data(), bytes.size()) {}
    bool Byte(uint8_t& value);
    bool Varint(uint64_t& value);
    bool AtEnd() const { return position_ == size_; }
    bool Failed() const { return failed_; }
    size_t Position() const { return position_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

} // namespace deflatestream
