#pragma once
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace x86image {

// Little-endian fields of the image, read through a window so that walking a table costs
// one source read per window rather than one per field. Every read is checked against the
// size: false when the field is not wholly in the image or the source fails.
class ImageBytes {
public:
    explicit ImageBytes(plumbing::Source& source);

    uint64_t Size() const { return size_; }
    // True when [offset, offset + length) lies in the image; cannot overflow.
    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    bool U8(uint64_t offset, uint8_t& value);
    bool U16(uint64_t offset, uint16_t& value);
    bool U32(uint64_t offset, uint32_t& value);
    bool U64(uint64_t offset, uint64_t& value);

private:
    const uint8_t* Field(uint64_t offset, size_t length);
    template <typename Value> bool Load(uint64_t offset, Value& value);

    plumbing::Source& source_;
    uint64_t size_;
    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;
    size_t windowLength_ = 0;
};

} // namespace x86image
