#include "NormaliseText.h"

#include <gtest/gtest.h>

namespace {

struct NormaliseCase {
    const char* given;
    const char* expected;
};

class NormaliseTextTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTextTest, Normalises) {
    std::string text = GetParam().given;
    NormaliseText(text);
    EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NormaliseTextTest,
    ::testing::Values(NormaliseCase{"a\nb", "a\r\nb"}, NormaliseCase{"a\n\nb", "a\r\n\r\nb"},
                      NormaliseCase{"a\r\nb", "a\r\r\nb"}, NormaliseCase{"\n", "\r\n"},
                      NormaliseCase{"a   b", "a b"}, NormaliseCase{"  x  ", " x "},
                      NormaliseCase{"     ", " "}, NormaliseCase{"a \n b", "a \r\n b"},
                      NormaliseCase{"a\tb", "a\tb"}, NormaliseCase{"", ""},
                      NormaliseCase{"a \t b", "a \t b"}, NormaliseCase{"\n\n", "\r\n\r\n"},
                      NormaliseCase{"DONE!\r\nYour game\r\nPress OK",
                                    "DONE!\r\r\nYour game\r\r\nPress OK"}));

} // namespace
