#include "Crc32.h"

#include <zlib.h>

namespace patchfile {

void Crc32::Update(const void* data, size_t length) {
    const auto* bytes = static_cast<const Bytef*>(data);
    // zlib takes an unsigned int length; a 64-bit size_t may be larger.
    constexpr size_t kStep = 1u << 30;
    while (length > 0) {
        size_t step = length < kStep ? length : kStep;
        value_ = static_cast<uint32_t>(crc32(value_, bytes, static_cast<uInt>(step)));
        bytes += step;
        length -= step;
    }
}

uint32_t ComputeCrc32(const void* data, size_t length) {
    Crc32 crc;
    crc.Update(data, length);
    return crc.value();
}

} // namespace patchfile
