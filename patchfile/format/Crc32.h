#pragma once
#include <cstddef>
#include <cstdint>

namespace patchfile {

// CRC-32 (the one of zlib and PNG) over data given in pieces of any size.
class Crc32 {
public:
    void Update(const void* data, size_t length);
    uint32_t value() const { return value_; }

private:
    uint32_t value_ = 0;
};

uint32_t ComputeCrc32(const void* data, size_t length);

} // namespace patchfile
