#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace patchfile {

// Reads little-endian fields from a buffer of known size. A read past the end fails and the
// reader stays failed, so a run of reads needs one check at the end.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool U8(uint8_t& value);
    bool U16(uint16_t& value);
    bool U32(uint32_t& value);
    bool U64(uint64_t& value);
    bool Bytes(size_t length, std::string& value);

    bool failed() const { return failed_; }
    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }

private:
    bool Take(size_t length, const uint8_t*& start);
    uint64_t Little(size_t length);

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

} // namespace patchfile
