#pragma once
#include "AddressTranslator.h"
#include "ImageBytes.h"
#include "ImageLayout.h"
#include "ReferenceCollector.h"

#include <string>

namespace x86image {

// A little-endian ELF executable or shared object, i386 (ELF32) or x86-64 (ELF64): its
// layout, and for ELF32 the fields its REL tables and defined symbols name.
bool ParseElf(ImageBytes& bytes, ImageLayout& layout, ReferenceCollector& found, std::string& why);

} // namespace x86image
