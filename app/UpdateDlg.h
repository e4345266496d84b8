#pragma once
#include "CdCopier.h"
#include "PatchEvents.h"
#include "RunState.h"
#include "StartupChecks.h"
#include "UpdateRun.h"
#include "UpdateUi.h"
#include "framework/Dialog.h"

#include <cstdio>
#include <string>

// The main dialog: the whole user interface, and the holder of the update run's state.
// On its left a picture; on its right the log box, the status line (the caption of the group
// box) with the progress bar, and the one button that runs the update and then finishes.
// The workflow (update/) does the work and reaches the dialog through UpdateUi.
class CUpdateDlg : public CDialog, public UpdateUi {
public:
    explicit CUpdateDlg(CDialog* pParent = nullptr);

    BOOL DestroyWindow() override;

    // The status display: each call replaces what its control shows.
    void SetStatusText(std::string text) override;
    void SetProgress(int position) override;
    void SetLogText(std::string text) override;
    void SetProgressRange(int low, int high) override;

    int ShowMessageBox(const std::string& text, UINT type) override;
    void SetCaption(const std::string& text) override;
    void EnableButton(bool enabled) override;
    void SetButtonText(const std::string& text) override;
    void RequestClose() override;
    void CloseDialog(int result) override;
    bool WriteProgramPath(const std::string& path) override;
    bool ReadOriginalProgramPath(std::string& path) override;
    bool WriteOriginalProgramPath(const std::string& path) override;
    void ForgetOriginalProgramPath() override;
    void ApplyPatchFile(std::string fileName) override;

    // Copies a file named by the patch library from the CD into the install folder,
    // replacing what is there; on failure tells the player in the log and sets m_bError.
    void CopyFromCD(std::string name);
    // The PrivateBuild string of game.exe on the CD, or the empty text.
    std::string GetGameBuild();

    // What the patch library's events act on while this dialog is up.
    PatchEventTarget& PatchEvents() { return m_patchEvents; }

    // Set when an error occurred or the player aborted: the run stops.
    BOOL m_bError;
    // The CD's folder, ending in a backslash: files are copied from here.
    std::string m_strFmvPath;
    // The game's install folder, ending in a backslash.
    std::string m_strProgramPath;
    // The folder of the updater itself, without a trailing backslash: the patch files lie here.
    std::string m_strUpdateDir;
    // The install folder as it was before the update run sanitised it.
    std::string m_strSavedProgramPath;
    HICON m_hIcon;
    // update.map in the install folder, open only while a line is appended.
    std::FILE* m_updateMap = nullptr;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

private:
    void AddAboutItemToSystemMenu();
    void PaintMinimisedIcon();
    RunState State() {
        return {m_bError,       m_strFmvPath,          m_strProgramPath,
                m_strUpdateDir, m_strSavedProgramPath, m_updateMap};
    }

    // The workflow, working on the members above.
    StartupChecks m_startupChecks{*this, State()};
    UpdateRun m_updateRun{*this, State()};
    CdCopier m_cdCopier{*this, State()};
    PatchEventTarget m_patchEvents{*this, m_bError, m_cdCopier};
};

// The live main dialog, for the patch library's callback; set once, never cleared.
extern CUpdateDlg* g_pUpdateDlg;
