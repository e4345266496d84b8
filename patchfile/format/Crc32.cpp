#include "Crc32.h"

#include "Crc32Sum.h"

namespace patchfile {

void Crc32::Update(const void* data, size_t length) {
    value_ = plumbing::UpdateCrc32(value_, data, length);
}

uint32_t ComputeCrc32(const void* data, size_t length) {
    Crc32 crc;
    crc.Update(data, length);
    return crc.value();
}

} // namespace patchfile
