#include "CommandLine.h"

#include <gtest/gtest.h>

namespace patchdll {
namespace {

struct Case {
    const char* line;
    const char* patchFile;
    const char* folder;
};

class ParsesCommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(ParsesCommandLine, IntoPatchFileAndFolder) {
    CommandLine parsed;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(GetParam().line, 2000, parsed, error)) << error;
    EXPECT_EQ(parsed.patchFile, GetParam().patchFile);
    EXPECT_EQ(parsed.folder, GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParsesCommandLine,
    ::testing::Values(Case{"Patch1.rtp", "Patch1.rtp", ""},
                      Case{"  Patch1.rtp  ", "Patch1.rtp", ""},
                      Case{"Patch1.rtp C:\\Games\\Quillmere", "Patch1.rtp", "C:\\Games\\Quillmere"},
                      Case{"Patch1.rtp\t\"C:\\Program Files\\Quillmere\\\"", "Patch1.rtp",
                           "C:\\Program Files\\Quillmere\\"},
                      Case{"\"C:\\My Patches\\Patch1.rtp\"", "C:\\My Patches\\Patch1.rtp", ""},
                      Case{"\"a b.rtp\" \"c d\"", "a b.rtp", "c d"}));

struct BadCase {
    const char* line;
    const char* error;
};

class RefusesCommandLine : public ::testing::TestWithParam<BadCase> {};

TEST_P(RefusesCommandLine, WithAReason) {
    CommandLine parsed;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(GetParam().line, 2000, parsed, error));
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusesCommandLine,
    ::testing::Values(BadCase{"", "names no patch file"}, BadCase{"   ", "names no patch file"},
                      BadCase{"\"\"", "names no patch file"},
                      BadCase{"Patch1.rtp \"\"", "empty folder"},
                      BadCase{"\"Patch1.rtp", "misplaced double quote"},
                      BadCase{"\"Patch1\".rtp", "misplaced double quote"},
                      BadCase{"Pat\"ch1.rtp", "misplaced double quote"},
                      BadCase{"a.rtp b c", "more than a patch file and a folder"}));

TEST(RefusesCommandLine, WithoutANulWithinTheLimit) {
    std::string line(2001, 'x'); // the NUL follows one character too late
    CommandLine parsed;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(line.c_str(), 2000, parsed, error));
    EXPECT_EQ(error, "the command line is longer than 2000 characters");
    line.pop_back();
    EXPECT_TRUE(ParseCommandLine(line.c_str(), 2000, parsed, error));
}

} // namespace
} // namespace patchdll
