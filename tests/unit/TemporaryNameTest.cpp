#include "TemporaryName.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct NameCase {
    const char* target;
    unsigned number;
    const char* expected;
};

class TemporaryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(TemporaryNameTest, GivesNameBesideTarget) {
    EXPECT_EQ(quill::TemporaryNameBeside(GetParam().target, GetParam().number),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TemporaryNameTest,
    ::testing::Values(
        // As long as the target's own name, in its folder, whichever separator it uses.
        NameCase{"C:\\game\\maps.pak", 1, "C:\\game\\~0000001"},
        NameCase{"/game/data/abc", 1, "/game/data/~01"}, NameCase{"game\\a.b", 2, "game\\~02"},
        NameCase{"x.xarc", 1, "~00001"}, NameCase{"d/ab", 35, "d/~z"},
        // A name of one character gets two; a long one gets eight.
        NameCase{"C:\\g\\a", 1, "C:\\g\\~1"},
        NameCase{"C:\\g\\a very long file name.dat", 1, "C:\\g\\~0000001"},
        // Base 36, lower case; a number longer than the padding lengthens the name.
        NameCase{"game\\maps.pak", 36, "game\\~0000010"},
        NameCase{"game\\maps.pak", 100, "game\\~000002s"}, NameCase{"ab", 36, "~10"},
        NameCase{"a", 1295, "~zz"}));

// Every attempt a writer makes has a name of its own, or a taken name would be tried again.
TEST(TemporaryNameAttempts, AreAllDifferent) {
    for (const char* target : {"a", "ab", "game\\maps.pak"}) {
        std::set<std::string> names;
        for (unsigned number = 1; number <= quill::kTemporaryNameAttempts; ++number)
            names.insert(quill::TemporaryNameBeside(target, number));
        EXPECT_EQ(names.size(), quill::kTemporaryNameAttempts) << target;
    }
}

} // namespace
