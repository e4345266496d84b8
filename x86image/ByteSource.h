#pragma once
#include <cstddef>
#include <cstdint>

namespace x86image {

// Reads bytes of the image; false when the range is not there.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    virtual bool Read(uint64_t offset, uint8_t* out, size_t length) = 0;
};

} // namespace x86image
