#pragma once
#include <cstddef>
#include <cstdint>

#include "FormatError.h"

namespace patchfile {

uint16_t Little16(const uint8_t* p);
uint32_t Little32(const uint8_t* p);

// A short file that is a beginning of the magic is a truncated patch file; anything else
// that does not start with it is not one of ours.
FormatError CheckMagic(const uint8_t* header, uint64_t fileSize);

} // namespace patchfile
