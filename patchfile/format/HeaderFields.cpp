#include "HeaderFields.h"

#include "LittleEndian.h"
#include "PatchFormat.h"

#include <cstring>

namespace patchfile {

uint16_t Little16(const uint8_t* p) {
    return static_cast<uint16_t>(plumbing::LoadLittleEndian(p, 2));
}

uint32_t Little32(const uint8_t* p) {
    return static_cast<uint32_t>(plumbing::LoadLittleEndian(p, 4));
}

FormatError CheckMagic(const uint8_t* header, uint64_t fileSize) {
    constexpr size_t kMagicSize = sizeof(kMagic);
    size_t present = fileSize < kMagicSize ? static_cast<size_t>(fileSize) : kMagicSize;
    if (std::memcmp(header, kMagic, present) != 0)
        return FormatError::BadMagic;
    return present < kMagicSize ? FormatError::Truncated : FormatError::None;
}

} // namespace patchfile
