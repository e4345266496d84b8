// The update run and its finish when the registry refuses a write: the registry writer and
// the message boxes are replaced, the game folders are real ones in a temporary folder.
#include "UpdateRun.h"

#include "LanguageTable.h"
#include "RecordingUi.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WithoutBackslash(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}

// Every folder on the way, shortest first; those that exist fail quietly.
void CreateFolders(const std::string& path) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at + 1).c_str(), nullptr);
}

enum class Refused { Nothing, SanitisedPath, SavedPath };
enum class Finish { Button, Esc };

struct RunCase {
    const char* name;
    const char* gameFolder; // below the temporary folder; \xE9 is sanitised to 0
    const char* sanitisedFolder;
    Refused refused;
    int runText;       // the text the run leaves in the log: 12, 22 or 24
    bool errorSummary; // the run ends with the error box
    bool finishBox;    // the finish tells the player that the registry names the wrong folder
};

const RunCase kRunCases[] = {
    {"NothingRefused", "Caf\xE9\\", "Caf0\\", Refused::Nothing, 12, false, false},
    {"SanitisedPathRefused", "Caf\xE9\\", "Caf0\\", Refused::SanitisedPath, 24, true, false},
    {"SavedPathRefusedByTheFinish", "Caf\xE9\\", "Caf0\\", Refused::SavedPath, 12, false, true},
    // The name did not change: the registry names the right folder whatever the finish wrote.
    {"SavedPathRefusedForAnUnchangedName", "Plain\\", "Plain\\", Refused::SavedPath, 12, false,
     false},
    // The folder cannot move (only its parent's name changes) and the registry keeps the
    // sanitised path the run wrote: the finish's write is the last chance, and it fails.
    {"SavedPathRefusedAfterAFailedRename", "Caf\xE9\\game\\", "Caf0\\game\\", Refused::SavedPath,
     22, true, true},
};

// The first click runs the update, the second one (or Esc) finishes; no patch file lies
// beside the updater, so the run never reaches the patch library.
class UpdateRunTest : public ::testing::TestWithParam<std::tuple<RunCase, Finish>> {
protected:
    void SetUp() override {
        CLanguageTable::GetInstance()->SetFile(work_.path() + "Update.exe", "Update.ini");
        g_nPendingRuns = 1;
        const RunCase& run = Case();
        CreateFolders(Saved());
        run_.programPath = Saved();
        run_.updateDir = WithoutBackslash(work_.path());
        if (run.refused == Refused::SanitisedPath)
            ui_.refusedWrite = Sanitised();
        else if (run.refused == Refused::SavedPath)
            ui_.refusedWrite = Saved();
    }
    void TearDown() override { CLanguageTable::DeleteInstance(); }

    const RunCase& Case() const { return std::get<0>(GetParam()); }
    std::string Saved() const { return work_.path() + Case().gameFolder; }
    std::string Sanitised() const { return work_.path() + Case().sanitisedFolder; }
    std::string Text(int number, const std::vector<std::string>& folders) const {
        std::string text = TableText(number);
        for (const std::string& folder : folders)
            text.replace(text.find("%s"), 2, WithoutBackslash(folder));
        return text;
    }
    std::string RunText(int number) const {
        if (number == 22)
            return Text(22, {Saved(), Sanitised()});
        return number == 24 ? Text(24, {Sanitised()}) : TableText(number);
    }

    TempFolder work_;
    RecordingUi ui_;
    RunValues run_;
    UpdateRun updateRun_{ui_, run_.State()};
};

TEST_P(UpdateRunTest, RegistryWritesThatFailAreReportedAndTheFinishStillEnds) {
    const RunCase& run = Case();
    updateRun_.Click();

    ASSERT_FALSE(ui_.logs.empty());
    EXPECT_EQ(ui_.logs.back(), RunText(run.runText));
    EXPECT_EQ(ui_.boxes, run.errorSummary ? std::vector<std::string>{TableText(11)}
                                          : std::vector<std::string>{});
    ui_.boxes.clear();

    if (std::get<1>(GetParam()) == Finish::Button)
        updateRun_.Click();
    else
        updateRun_.Cancel();

    EXPECT_EQ(ui_.boxes, run.finishBox ? std::vector<std::string>{Text(25, {Saved(), Sanitised()})}
                                       : std::vector<std::string>{});
    ASSERT_FALSE(ui_.writes.empty());
    EXPECT_EQ(ui_.writes.back(), Saved());
    EXPECT_EQ(run_.programPath, Saved());
    EXPECT_TRUE(IsFolder(Saved()));
    if (Sanitised() != Saved()) {
        EXPECT_FALSE(IsFolder(Sanitised()));
    }
    const bool button = std::get<1>(GetParam()) == Finish::Button;
    EXPECT_EQ(ui_.closedWith, std::vector<int>{button ? IDOK : IDCANCEL});
    if (button) {
        EXPECT_EQ(g_nPendingRuns, -1);
    }
}

// A run killed while the folder bore the sanitised name left the registry naming that folder
// and the folder's own name kept beside it: the next run's finish gives the name back.
TEST(UpdateRunAfterAKilledRun, TheFinishGivesTheFolderItsOwnNameBack) {
    CLanguageTable::GetInstance()->SetFile("C:\\Update.exe", "Update.ini");
    TempFolder work;
    const std::string saved = work.path() + "Caf\xE9\\";
    const std::string sanitised = work.path() + "Caf0\\";
    CreateFolders(sanitised);
    RecordingUi ui;
    ui.keptOriginal = saved;
    RunValues run;
    run.programPath = sanitised;
    run.updateDir = WithoutBackslash(work.path());
    UpdateRun updateRun(ui, run.State());
    g_nPendingRuns = 1;

    updateRun.Click();
    EXPECT_EQ(ui.logs.back(), TableText(12));
    EXPECT_EQ(ui.keptOriginal, saved); // kept while the folder bears the sanitised name
    updateRun.Click();

    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(run.programPath, saved);
    EXPECT_EQ(ui.writes.back(), saved);
    EXPECT_TRUE(IsFolder(saved));
    EXPECT_FALSE(IsFolder(sanitised));
    EXPECT_EQ(ui.keptOriginal, "");
    CLanguageTable::DeleteInstance();
}

// Each run keeps the folder's own name while it renames the folder, and forgets it at the
// finish once the name is back.
TEST_P(UpdateRunTest, TheFoldersOwnNameIsKeptUntilTheFinishGivesItBack) {
    updateRun_.Click();
    const bool nameChanges = Sanitised() != Saved();
    EXPECT_EQ(ui_.keptOriginal, nameChanges ? Saved() : "");
    updateRun_.Click();
    const bool programWritten = Case().refused != Refused::SavedPath;
    EXPECT_EQ(ui_.keptOriginal, nameChanges && !programWritten ? Saved() : "");
}

INSTANTIATE_TEST_SUITE_P(Registry, UpdateRunTest,
                         ::testing::Combine(::testing::ValuesIn(kRunCases),
                                            ::testing::Values(Finish::Button, Finish::Esc)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Finish::Button ? "Button" : "Esc");
                         });

} // namespace
