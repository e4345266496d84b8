#include "RelativeName.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* name;
    bool safe;
};

class RelativeNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RelativeNameTest, JudgesName) {
    EXPECT_EQ(quill::IsSafeRelativeName(GetParam().name), GetParam().safe) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, RelativeNameTest,
    ::testing::Values(
        // Ordinary names, with subfolders either way round.
        NameCase{"game.exe", true}, NameCase{"data\\x.xarc", true}, NameCase{"a/b/c.txt", true},
        NameCase{"x.xarc.bak", true}, NameCase{"...a", true}, NameCase{"a b", true},
        NameCase{"CONSOLE.txt", true}, NameCase{"com0", true}, NameCase{"LPT10", true},
        NameCase{"comx.dat", true}, NameCase{"data\\.hidden", true},
        // Leaving the folder.
        NameCase{"", false}, NameCase{"..\\..\\Windows\\x.dll", false}, NameCase{"a\\..\\b", false},
        NameCase{"..", false}, NameCase{".", false}, NameCase{"a\\.\\b", false},
        NameCase{"\\x", false}, NameCase{"/x", false}, NameCase{"\\\\host\\share\\x", false},
        NameCase{"C:\\x", false}, NameCase{"C:x", false}, NameCase{"\\\\?\\C:\\x", false},
        NameCase{"\\\\.\\PhysicalDrive0", false}, NameCase{"file.txt:stream", false},
        // Empty components and names Windows would silently change.
        NameCase{"a\\\\b", false}, NameCase{"a\\", false}, NameCase{"a/", false},
        NameCase{"name.", false}, NameCase{"name ", false}, NameCase{"dir.\\x", false},
        NameCase{"dir \\x", false},
        // Device names, with or without an extension, any case, at any depth.
        NameCase{"CON", false}, NameCase{"con", false}, NameCase{"Prn.txt", false},
        NameCase{"aux.tar.gz", false}, NameCase{"data\\NUL", false}, NameCase{"COM1", false},
        NameCase{"com9.log", false}, NameCase{"LPT1", false}, NameCase{"lpt9\\x", false},
        NameCase{"nul .txt", false}));

} // namespace
