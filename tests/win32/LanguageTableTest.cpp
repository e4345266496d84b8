#include "LanguageTable.h"
#include "BuiltInTexts.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

int g_alerts = 0;
std::string g_lastAlert;

void CountAlert(const char* message) {
    ++g_alerts;
    g_lastAlert = message;
}

std::string BuiltIn(int number) {
    return ExpectedBuiltInText(number);
}

class LanguageTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_alerts = 0;
        g_lastAlert.clear();
        CLanguageTable::s_showAlert = CountAlert;
    }
    void TearDown() override { CLanguageTable::DeleteInstance(); }

    // Loads the table as the program does: from the folder of the executable's path.
    CLanguageTable* LoadFrom(const std::string* iniContent) {
        if (iniContent)
            folder_.WriteFile("Update.ini", *iniContent);
        CLanguageTable* table = CLanguageTable::GetInstance();
        table->SetFile(folder_.path() + "Update.exe", "Update.ini");
        return table;
    }

    TempFolder folder_;
};

TEST_F(LanguageTableTest, WithoutOverrideFileEveryTextIsBuiltIn) {
    CLanguageTable* table = LoadFrom(nullptr);
    for (int number = 0; number < CLanguageTable::kTextCount; ++number)
        EXPECT_EQ(table->GetText(number), BuiltIn(number)) << "text " << number;
    EXPECT_EQ(g_alerts, 0);
}

struct OverrideCase {
    const char* name;
    std::string ini;
    std::map<int, std::string> expected; // every other text stays built in
    int alerts;
};

class OverrideTest : public LanguageTableTest,
                     public ::testing::WithParamInterface<OverrideCase> {};

TEST_P(OverrideTest, LoadsTexts) {
    const OverrideCase& c = GetParam();
    CLanguageTable* table = LoadFrom(&c.ini);
    for (int number = 0; number < CLanguageTable::kTextCount; ++number) {
        auto found = c.expected.find(number);
        std::string expected = found == c.expected.end() ? BuiltIn(number) : found->second;
        EXPECT_EQ(table->GetText(number), expected) << "text " << number;
    }
    EXPECT_EQ(g_alerts, c.alerts);
    if (c.alerts) {
        EXPECT_EQ(g_lastAlert, "Unsupported character!");
    }
}

const std::string k600(600, 'x');

INSTANTIATE_TEST_SUITE_P(
    Files, OverrideTest,
    ::testing::Values(
        OverrideCase{
            "OneKey", "[Language]\r\n005=Now patching %s\r\n", {{5, "Now patching %s"}}, 0},
        OverrideCase{"EmptyValue", "[Language]\r\n003=\r\n", {{3, ""}}, 0},
        OverrideCase{"AbsentSentinel", "[Language]\r\n003=\xA9\r\n", {}, 0},
        OverrideCase{"SentinelInsideText", "[Language]\r\n003=\xA9\xA9\r\n", {{3, "\xA9\xA9"}}, 0},
        OverrideCase{"OtherKeyForms", "[Language]\r\n5=five\r\n0005=five\r\n400=x\r\n", {}, 0},
        OverrideCase{"TextWithoutBuiltIn",
                     "[Language]\r\n399=last\r\n024=new\r\n",
                     {{399, "last"}, {24, "new"}},
                     0},
        OverrideCase{"SectionAndKeyIgnoreCase", "[LANGUAGE]\r\n017=Go\r\n", {{17, "Go"}}, 0},
        OverrideCase{"OtherSection", "[Other]\r\n017=Go\r\n", {}, 0},
        OverrideCase{"Escapes",
                     "[Language]\r\n013=First\\nSecond\\tThird\\r\r\n",
                     {{13, "First\nSecond\tThird\r"}},
                     0},
        OverrideCase{"DoubledBackslash", "[Language]\r\n009=a\\\\nb\r\n", {{9, "a\nb"}}, 1},
        OverrideCase{"CapitalEscape", "[Language]\r\n009=\\N\r\n", {{9, "N"}}, 1},
        OverrideCase{"TrailingBackslash", "[Language]\r\n009=100%\\\r\n", {{9, "100%"}}, 1},
        OverrideCase{
            "LongValueCut", "[Language]\r\n002=" + k600 + "\r\n", {{2, std::string(499, 'x')}}, 0},
        OverrideCase{"CutThenDecoded",
                     "[Language]\r\n002=" + std::string(498, 'a') + "\\n\r\n",
                     {{2, std::string(498, 'a')}},
                     1},
        OverrideCase{"TitleBuildAndMenuEntry",
                     "[Language]\r\n000=Other\r\n019=140\r\n101=&Info\r\n",
                     {{0, "Other"}, {19, "140"}, {101, "&Info"}},
                     0}),
    [](const ::testing::TestParamInfo<OverrideCase>& info) { return info.param.name; });

TEST_F(LanguageTableTest, GetTextGivesACopy) {
    CLanguageTable* table = LoadFrom(nullptr);
    std::string copy = table->GetText(14);
    copy += "changed";
    EXPECT_EQ(table->GetText(14), "OK");
}

TEST_F(LanguageTableTest, NumbersOutsideTheTableGiveTheEmptyText) {
    CLanguageTable* table = LoadFrom(nullptr);
    EXPECT_EQ(table->GetText(-1), "");
    EXPECT_EQ(table->GetText(400), "");
}

TEST_F(LanguageTableTest, OneTableUntilDeleted) {
    CLanguageTable* first = LoadFrom(nullptr);
    EXPECT_EQ(CLanguageTable::GetInstance(), first);
    EXPECT_EQ(g_pLanguageTable, first);
    CLanguageTable::DeleteInstance();
    EXPECT_EQ(g_pLanguageTable, nullptr);
    CLanguageTable::DeleteInstance(); // a second delete is harmless
    CLanguageTable* fresh = CLanguageTable::GetInstance();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->GetText(0), ""); // created empty: nothing loaded yet
}

TEST_F(LanguageTableTest, PathWithoutFolderLooksBesideTheCurrentFolder) {
    // Only the file name is left, so the override file is looked up relative to the
    // current folder: here one that has none.
    folder_.WriteFile("Update.ini", "[Language]\r\n014=Fine\r\n");
    CLanguageTable* table = CLanguageTable::GetInstance();
    table->SetFile("Update.exe", "Update.ini");
    EXPECT_EQ(table->GetText(14), "OK");
}

} // namespace
