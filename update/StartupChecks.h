#pragma once
#include "RunState.h"
#include "UpdateUi.h"

// The checks that end the main dialog's initialisation: the game is installed, it is the
// edition this update is for, and the game CD is found.
class StartupChecks {
public:
    StartupChecks(UpdateUi& ui, RunState state) : m_ui(ui), m_state(state) {}

    // Fills the install and CD folders. FALSE after a failed check, which has told the
    // player and asked the dialog to close.
    BOOL Run();

private:
    BOOL Fail(int textNumber);
    bool CheckGameLanguage();
    int FirstPatchNumber() const;
    bool FindGameCd(int cdNumber);

    UpdateUi& m_ui;
    RunState m_state;
};
