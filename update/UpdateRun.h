#pragma once
#include "RunState.h"
#include "UpdateUi.h"

#include <string>

// 1 until the first click has run the update; every click counts it down.
extern int g_nPendingRuns;

// The button: the first click runs the update, the next one puts the game folder back and
// closes the program.
class UpdateRun {
public:
    UpdateRun(UpdateUi& ui, RunState state) : m_ui(ui), m_state(state) {}

    // A click on the button (or Enter).
    void Click();
    // Esc, the close box and Close in the system menu.
    void Cancel();

private:
    void RunUpdate();
    bool MoveToSanitisedPath();
    std::string OriginalProgramPath();
    void ApplyPresentPatchFiles(bool& nothingApplied);
    bool AskForCd(int number);
    void StopForCloseRequest();
    void FinishUpdate();
    void RestoreGameFolder();
    bool RecordProgramPath(const std::string& path);

    UpdateUi& m_ui;
    RunState m_state;
    // From the first click until its run has ended.
    bool m_bRunning = false;
    // The player asked to close the window while the run was going on.
    bool m_bCloseRequested = false;
    // The run renamed the install folder, so the finish renames it back.
    bool m_bRenamed = false;
    // The registry names the sanitised folder, so the finish writes the saved path back.
    bool m_bSanitisedPathRecorded = false;
};
