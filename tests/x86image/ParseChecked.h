#pragma once
// For the unit tests: an image that must parse, and whose result must keep the reader's
// promises (Invariants.h).
#include "Invariants.h"
#include "SampleImages.h"

#include <gtest/gtest.h>

#include <string>

namespace x86image::test {

inline ImageReferences ParseChecked(const Bytes& bytes) {
    MemorySource source(bytes);
    ImageReferences found;
    std::string why;
    EXPECT_EQ(ParseImage(source, found, why), ParseResult::Parsed) << why;
    EXPECT_EQ(BrokenPromise(found, bytes.size()), "");
    return found;
}

} // namespace x86image::test
