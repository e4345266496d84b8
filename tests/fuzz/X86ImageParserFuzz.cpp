// Any input: the image reader never crashes, reads only inside the image, explains every
// refusal, keeps the promises of every successful parse (tests/x86image/Invariants.h) and
// gives the same result when run again on the same bytes.
#include "ImageReferences.h"
#include "Invariants.h"
#include "SampleImages.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    x86image::test::MemorySource image(data, size);
    x86image::ImageReferences first, second;
    std::string why, whyAgain;
    const x86image::ParseResult result = x86image::ParseImage(image, first, why);
    const bool parsed = result == x86image::ParseResult::Parsed;
    // Memory never fails a read, and no pause asks to stop: a refusal or a result.
    if (parsed != why.empty() || image.readOutside ||
        (!parsed && result != x86image::ParseResult::Refused)) {
        __builtin_trap();
    }
    if (parsed && !x86image::test::BrokenPromise(first, size).empty()) {
        __builtin_trap();
    }
    if (x86image::ParseImage(image, second, whyAgain) != result || why != whyAgain ||
        first.absolute != second.absolute || first.relativeToBase != second.relativeToBase ||
        first.pcRelative != second.pcRelative ||
        first.layout.sections.size() != second.layout.sections.size()) {
        __builtin_trap();
    }
    return 0;
}
