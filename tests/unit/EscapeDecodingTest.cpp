#include "EscapeDecoding.h"

#include <gtest/gtest.h>

namespace {

struct EscapeCase {
    const char* written;
    const char* held;
    int complaints;
};

class EscapeDecodingTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeDecodingTest, Decodes) {
    std::string text = GetParam().written;
    int complaints = 0;
    quill::DecodeEscapes(text, [&] { ++complaints; });
    EXPECT_EQ(text, GetParam().held);
    EXPECT_EQ(complaints, GetParam().complaints);
}

INSTANTIATE_TEST_SUITE_P(
    Values, EscapeDecodingTest,
    ::testing::Values(EscapeCase{"First\\nSecond", "First\nSecond", 0},
                      EscapeCase{"A\\tB", "A\tB", 0}, EscapeCase{"x\\ry", "x\ry", 0},
                      EscapeCase{"plain", "plain", 0}, EscapeCase{"", "", 0},
                      EscapeCase{"a\\qb", "aqb", 1}, EscapeCase{"100%\\", "100%", 1},
                      EscapeCase{"\\\\n", "\n", 1},      // a doubled backslash: one complaint
                      EscapeCase{"a\\\\\\\\b", "ab", 4}, // each kept backslash complains again
                      EscapeCase{"\\N", "N", 1},         // escapes are lower case only
                      EscapeCase{"\\n\\n", "\n\n", 0}, EscapeCase{"\\", "", 1},
                      EscapeCase{"end\\n", "end\n", 0}, EscapeCase{"\\\\", "", 2}));

} // namespace
