#pragma once
#include "ImageReferences.h"

#include <cstdint>
#include <string>

namespace x86image::test {

// What every successful parse promises whatever the input: the layout's sections sorted,
// within the file, overlapping nowhere and mapping both ways; both lists sorted, apart,
// within the file and within the cap. Empty when all holds, else the first broken promise.
std::string BrokenPromise(const ImageReferences& found, uint64_t fileSize);

} // namespace x86image::test
