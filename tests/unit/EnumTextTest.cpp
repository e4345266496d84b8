#include "EnumText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

enum class Colour : uint8_t { Red, Green, Blue };

const char* NameOf(Colour colour) {
    static constexpr const char* kTexts[] = {"red", "green", "blue"};
    return quill::TextOf<Colour::Blue>(kTexts, colour, "unknown");
}

TEST(EnumText, EachEnumeratorHasItsTextAndAnyOtherValueIsUnknown) {
    EXPECT_STREQ(NameOf(Colour::Red), "red");
    EXPECT_STREQ(NameOf(Colour::Blue), "blue");
    // A stored byte cast to the enum may hold any value.
    for (int value : {3, 4, 255})
        EXPECT_STREQ(NameOf(static_cast<Colour>(value)), "unknown") << value;
}

} // namespace
