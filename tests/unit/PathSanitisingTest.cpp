#include "PathSanitising.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    std::string given;
    std::string expected;
};

class SanitiseTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SanitiseTest, ReplacesBytesOutsidePrintableAscii) {
    EXPECT_EQ(quill::SanitiseInstallPath(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SanitiseTest,
    ::testing::Values(PathCase{"C:\\Games\\Quillmere\\", "C:\\Games\\Quillmere\\"},
                      PathCase{"C:\\Games\\Caf\xE9\\", "C:\\Games\\Caf0\\"},
                      PathCase{"C:\\\x80\xFF\x7F ~\\", "C:\\00\x7F ~\\"},
                      PathCase{"C:\\\x82\xA0\\", "C:\\00\\"}, // a double-byte character
                      PathCase{"C:\\a\tb\x1F\\", "C:\\a0b0\\"}, PathCase{"", ""},
                      PathCase{std::string("a\0b", 3), "a0b"}));

TEST(PathSanitisingTest, RemovesOneTrailingBackslash) {
    EXPECT_EQ(quill::WithoutTrailingBackslash("C:\\Game\\"), "C:\\Game");
    EXPECT_EQ(quill::WithoutTrailingBackslash("C:\\Game\\\\"), "C:\\Game\\");
    EXPECT_EQ(quill::WithoutTrailingBackslash("C:\\Game"), "C:\\Game");
    EXPECT_EQ(quill::WithoutTrailingBackslash("\\"), "");
    EXPECT_EQ(quill::WithoutTrailingBackslash(""), "");
}

} // namespace
