#pragma once
#include "DecodeStatus.h"

#include <cstddef>
#include <cstdint>

namespace vcdiff {

// Reads the fields of a header from bytes that may end early. `base` is the delta offset of
// the first byte, for the failure's position.
class HeaderReader {
public:
    HeaderReader(const uint8_t* data, size_t size, uint64_t base, Failure& failure)
        : data_(data), size_(size), base_(base), failure_(failure) {}

    ParseStatus Byte(uint8_t& value);
    // `field` names the integer in the failure message.
    ParseStatus Integer(uint64_t& value, const char* field);
    ParseStatus Skip(size_t count);

    size_t position() const { return pos_; }
    // Delta offset of the next byte.
    uint64_t offset() const { return base_ + pos_; }
    Failure& failure() { return failure_; }

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t base_;
    Failure& failure_;
    size_t pos_ = 0;
};

} // namespace vcdiff
