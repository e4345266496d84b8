#include "TextFormat.h"

#include <gtest/gtest.h>

namespace {

using quill::FormatText;

TEST(TextFormatTest, FillsBuiltInTemplates) {
    EXPECT_EQ(FormatText("Patching file: %s", {"data\\x.xarc"}), "Patching file: data\\x.xarc");
    EXPECT_EQ(FormatText("Please insert game CD%i in drive \"%s\"", {2, "E:\\"}),
              "Please insert game CD2 in drive \"E:\\\"");
    EXPECT_EQ(FormatText("Please insert Quillmere CD %i into any drive", {0}),
              "Please insert Quillmere CD 0 into any drive");
    EXPECT_EQ(FormatText("%d and %u", {-5, 7}), "-5 and 7");
}

struct TemplateCase {
    const char* templ;
    const char* expected;
};

// Override files are edited by players: whatever a template says, only the arguments given
// are shown, and nothing is read beyond them.
class HostileTemplateTest : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(HostileTemplateTest, ShowsOnlyTheArguments) {
    EXPECT_EQ(FormatText(GetParam().templ, {3, "x"}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, HostileTemplateTest,
    ::testing::Values(TemplateCase{"no placeholder", "no placeholder"},
                      TemplateCase{"%s then %i", "3 then x"},   // kinds swapped: shown as they are
                      TemplateCase{"%i %s %s %s", "3 x %s %s"}, // more placeholders than arguments
                      TemplateCase{"%n%p%x", "%n%p%x"},         // unknown conversions stay written
                      TemplateCase{"100%% done", "100% done"},
                      TemplateCase{"ends in %", "ends in %"}, TemplateCase{"%", "%"},
                      TemplateCase{"%%i", "%i"}));

TEST(TextFormatTest, NullTextArgumentIsEmpty) {
    EXPECT_EQ(FormatText("[%s]", {static_cast<const char*>(nullptr)}), "[]");
}

} // namespace
