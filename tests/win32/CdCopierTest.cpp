#include "CdCopier.h"

#include "LanguageTable.h"
#include "RecordingUi.h"
#include "SystemErrorText.h"
#include "TempFolder.h"
#include "TemporaryName.h"
#include "Win32Files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

using Range = std::pair<int, int>;
constexpr int kFullScale = 0x8000;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in a folder (ending in a backslash), without "." and "..", sorted.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;

class CdCopierTest : public ::testing::Test {
protected:
    void SetUp() override {
        CLanguageTable::GetInstance()->SetFile(work_.path() + "Update.exe", "Update.ini");
        CreateDirectoryA(cd().c_str(), nullptr);
        CreateDirectoryA(game().c_str(), nullptr);
        run_.fmvPath = cd();
        run_.programPath = game();
    }
    void TearDown() override { CLanguageTable::DeleteInstance(); }

    std::string cd() const { return work_.path() + "cd\\"; }
    std::string game() const { return work_.path() + "game\\"; }
    void OnCd(const std::string& name, const std::string& content) {
        work_.WriteFile("cd\\" + name, content);
    }
    void InGame(const std::string& name, const std::string& content) {
        work_.WriteFile("game\\" + name, content);
    }
    std::string StatusLine(const std::string& name) {
        return "Copying file \"...\\" + name + "\"...";
    }
    std::string FailureLog(const std::string& name, unsigned long code) {
        return StatusLine(name) + "An error occured while copying the file \"" + game() + name +
               "\"\r\n" + SystemErrorText(code) + "\r\n";
    }

    TempFolder work_;
    RecordingUi ui_;
    RunValues run_;
    CdCopier copier_{ui_, run_.State()};
};

TEST_F(CdCopierTest, CopiesIntoFoldersThatDoNotExistYet) {
    CreateDirectoryA((cd() + "data").c_str(), nullptr);
    CreateDirectoryA((cd() + "data\\levels").c_str(), nullptr);
    OnCd("data\\levels\\town.xarc", std::string(1001, 'c'));

    copier_.CopyFromCD("data\\levels\\town.xarc");

    EXPECT_EQ(ReadFile(game() + "data\\levels\\town.xarc"), std::string(1001, 'c'));
    EXPECT_FALSE(run_.error);
    EXPECT_EQ(ui_.statuses, std::vector<std::string>{StatusLine("data\\levels\\town.xarc")});
    // No file to replace: the CD's file gives the scale; halfway during the copy, full after.
    EXPECT_EQ(ui_.ranges, (std::vector<Range>{{0, 1001}, {0, kFullScale}}));
    EXPECT_EQ(ui_.positions, (std::vector<int>{500, 1001}));
    EXPECT_TRUE(ui_.logs.empty());
    EXPECT_EQ(ReadFile(game() + "update.map"), "data\\levels\\town.xarc\r\n");
}

TEST_F(CdCopierTest, ReplacesAReadOnlyFileAndScalesToIt) {
    OnCd("game.exe", "new content");
    InGame("game.exe", "older, longer content");
    SetFileAttributesA((game() + "game.exe").c_str(), FILE_ATTRIBUTE_READONLY);

    copier_.CopyFromCD("game.exe");

    EXPECT_EQ(ReadFile(game() + "game.exe"), "new content");
    EXPECT_FALSE(GetFileAttributesA((game() + "game.exe").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(run_.error);
    EXPECT_EQ(ui_.ranges, (std::vector<Range>{{0, 21}, {0, kFullScale}}));
    EXPECT_EQ(ui_.positions, (std::vector<int>{10, 21}));
    EXPECT_FALSE(Exists(game() + "update.map"));
}

TEST_F(CdCopierTest, EmptyTargetGivesAnEmptyRange) {
    OnCd("x.bin", "content");
    InGame("x.bin", "");
    copier_.CopyFromCD("x.bin");
    EXPECT_EQ(ui_.ranges, (std::vector<Range>{{0, 0}, {0, kFullScale}}));
    EXPECT_EQ(ui_.positions, (std::vector<int>{0, 0}));
}

TEST_F(CdCopierTest, MissingSourceIsLoggedWithTheSystemText) {
    copier_.CopyFromCD("a.bin");

    EXPECT_TRUE(run_.error);
    EXPECT_EQ(ui_.logs, std::vector<std::string>{FailureLog("a.bin", ERROR_FILE_NOT_FOUND)});
    EXPECT_EQ(ui_.statuses, std::vector<std::string>{StatusLine("a.bin")});
    EXPECT_EQ(ui_.ranges.back(), Range(0, kFullScale));
    EXPECT_FALSE(Exists(game() + "a.bin"));
}

TEST_F(CdCopierTest, TargetHeldOpenWithoutSharingFails) {
    OnCd("locked.xarc", "new");
    InGame("locked.xarc", "old");
    HANDLE held = CreateFileA((game() + "locked.xarc").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    copier_.CopyFromCD("locked.xarc");
    CloseHandle(held);

    EXPECT_TRUE(run_.error);
    // The complete copy cannot be moved onto a file that is open elsewhere, and the player
    // is told that it is in use rather than that access is denied.
    EXPECT_EQ(ui_.logs,
              std::vector<std::string>{FailureLog("locked.xarc", ERROR_SHARING_VIOLATION)});
    EXPECT_EQ(ReadFile(game() + "locked.xarc"), "old");
    // Nothing is left beside it, and only good copies are listed in update.map.
    EXPECT_EQ(Entries(game()), Names{"locked.xarc"});
}

// Files bearing a name the copy could take, read-only ones too (a game file, a player's file,
// one left by a killed run): the copy goes ahead under another name and leaves them alone.
class TakenCopyNameTest : public CdCopierTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TakenCopyNameTest, FileOfThatNameIsLeftAlone) {
    const std::string taken =
        GetParam()[0] ? GetParam()
                      : quill::TemporaryNameBeside(game() + "x.xarc", 1).substr(game().size());
    OnCd("x.xarc", "new");
    InGame("x.xarc", "old");
    InGame(taken, "not the run's");
    SetFileAttributesA((game() + taken).c_str(), FILE_ATTRIBUTE_READONLY);

    copier_.CopyFromCD("x.xarc");

    EXPECT_FALSE(run_.error) << (ui_.logs.empty() ? "" : ui_.logs[0]);
    EXPECT_EQ(ReadFile(game() + "x.xarc"), "new");
    EXPECT_EQ(ReadFile(game() + taken), "not the run's");
    Names expected{"update.map", "x.xarc", taken};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Entries(game()), expected);
}

// "": the first name the copy would take; the other: the name copies had before.
INSTANTIATE_TEST_SUITE_P(Names, TakenCopyNameTest, ::testing::Values("", "x.xarc.cd~"));

TEST_F(CdCopierTest, ReadOnlyFileOfTheCdIsCopiedWithItsAttribute) {
    // The copy is flushed before it is moved, which needs write access to it: the read-only
    // attribute lifted for the flush is put back.
    OnCd("x.xarc", "from a read-only CD");
    SetFileAttributesA((cd() + "x.xarc").c_str(), FILE_ATTRIBUTE_READONLY);

    copier_.CopyFromCD("x.xarc");

    EXPECT_FALSE(run_.error) << (ui_.logs.empty() ? "" : ui_.logs[0]);
    EXPECT_EQ(ReadFile(game() + "x.xarc"), "from a read-only CD");
    EXPECT_TRUE(GetFileAttributesA((game() + "x.xarc").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Entries(game()), (Names{"update.map", "x.xarc"}));
}

// Targets whose path ends within a few characters of MAX_PATH, just below it, or reaches it:
// the copy's temporary name lengthens none of them, so only the last is refused.
class LongNameTest : public CdCopierTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(LongNameTest, OnlyATargetPastMaxPathIsRefused) {
    const size_t targetLength = GetParam();
    const std::string name(targetLength - game().size(), 'n');
    OnCd(name, "content");
    if (targetLength < MAX_PATH)
        InGame(name, "old");

    copier_.CopyFromCD(name);

    if (targetLength < MAX_PATH) {
        EXPECT_FALSE(run_.error) << (ui_.logs.empty() ? "" : ui_.logs[0]);
        EXPECT_EQ(ReadFile(game() + name), "content");
        EXPECT_EQ(Entries(game()), Names{name});
    } else {
        EXPECT_TRUE(run_.error);
        EXPECT_EQ(ui_.logs, std::vector<std::string>{FailureLog(name, ERROR_FILENAME_EXCED_RANGE)});
        EXPECT_EQ(Entries(game()), Names{}); // nothing is left behind
    }
}

INSTANTIATE_TEST_SUITE_P(TargetLengths, LongNameTest,
                         ::testing::Values(MAX_PATH - 5, MAX_PATH - 1, MAX_PATH));

TEST_F(CdCopierTest, FolderStandingWhereTheFileShouldBeFails) {
    OnCd("x.dat", "new");
    CreateDirectoryA((game() + "x.dat").c_str(), nullptr);

    copier_.CopyFromCD("x.dat");

    EXPECT_TRUE(run_.error);
    ASSERT_EQ(ui_.logs.size(), 1u);
    std::string expectedStart =
        StatusLine("x.dat") + "An error occured while copying the file \"" + game() + "x.dat\"\r\n";
    EXPECT_EQ(ui_.logs[0].substr(0, expectedStart.size()), expectedStart);
    EXPECT_GT(ui_.logs[0].size(), expectedStart.size() + 2);
    EXPECT_EQ(ui_.logs[0].substr(ui_.logs[0].size() - 2), "\r\n");
}

// A file stands where the name's folder should be, so that folder cannot be made: the player
// learns of it from the copy, with the error the copy itself meets, not the folder's.
TEST_F(CdCopierTest, FolderThatCannotBeMadeShowsAsTheCopysOwnFailure) {
    CreateDirectoryA((cd() + "sub").c_str(), nullptr);
    OnCd("sub\\x.dat", "new");
    InGame("sub", "a file, not a folder");
    ASSERT_FALSE(CopyFileA((cd() + "sub\\x.dat").c_str(), (game() + "sub\\x.dat").c_str(), FALSE));
    const DWORD copyError = GetLastError();

    copier_.CopyFromCD("sub\\x.dat");

    EXPECT_TRUE(run_.error);
    EXPECT_EQ(ui_.logs, std::vector<std::string>{FailureLog("sub\\x.dat", copyError)});
    EXPECT_EQ(ReadFile(game() + "sub"), "a file, not a folder");
}

TEST_F(CdCopierTest, UpdateMapListsArchivesInCopyOrder) {
    const char* names[] = {
        "GLOBAL.XARC", "x.xarc",     "myglobal.xarc", "A.XARC",      "xstatic.xarc",
        "game.exe",    "x.xarc.bak", "x.xarc",        "Static.xarc", "MainMenuLocation.xarc"};
    for (const char* name : names) {
        OnCd(name, name);
        copier_.CopyFromCD(name);
        EXPECT_EQ(ReadFile(game() + name), name);
    }
    EXPECT_FALSE(run_.error);
    // The same archive copied twice is listed twice.
    EXPECT_EQ(ReadFile(game() + "update.map"), "x.xarc\r\nA.XARC\r\nx.xarc\r\n");
}

TEST_F(CdCopierTest, UpdateMapIsAppendedToNeverTruncated) {
    InGame("update.map", "earlier.xarc\r\n");
    OnCd("new.xarc", "n");
    copier_.CopyFromCD("new.xarc");
    EXPECT_EQ(ReadFile(game() + "update.map"), "earlier.xarc\r\nnew.xarc\r\n");
}

TEST_F(CdCopierTest, UnwritableUpdateMapChangesNothingVisible) {
    CreateDirectoryA((game() + "update.map").c_str(), nullptr);
    OnCd("x.xarc", "content");

    copier_.CopyFromCD("x.xarc");

    EXPECT_FALSE(run_.error);
    EXPECT_TRUE(ui_.logs.empty());
    EXPECT_EQ(ReadFile(game() + "x.xarc"), "content");
}

class RefusedNameTest : public CdCopierTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedNameTest, TouchesNothingAndReportsAnInvalidName) {
    std::string name = GetParam();
    copier_.CopyFromCD(name);

    EXPECT_TRUE(run_.error);
    EXPECT_EQ(ui_.statuses, std::vector<std::string>{StatusLine(name)});
    EXPECT_EQ(ui_.logs, std::vector<std::string>{FailureLog(name, ERROR_INVALID_NAME)});
    EXPECT_TRUE(ui_.ranges.empty());
    EXPECT_TRUE(ui_.positions.empty());
    // Nothing was made: not in the game folder, nor beside it.
    EXPECT_EQ(Entries(game()), Names{});
    EXPECT_FALSE(Exists(work_.path() + "Windows"));
    EXPECT_FALSE(Exists(work_.path() + "x"));
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedNameTest,
                         ::testing::Values("..\\..\\Windows\\x.dll", "..\\x", "C:\\x", "\\x",
                                           "\\\\host\\share\\x", "sub\\..\\..\\x", "", "a\\\\b",
                                           "x.xarc:stream", "data\\CON", "nul.xarc", "name.",
                                           "dir \\x", "/x"));

} // namespace
