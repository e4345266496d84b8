#pragma once
#include "FpatchEvents.h"
#include "framework/Dialog.h"

#include <cstdio>
#include <string>

// The main dialog: the whole user interface, and the holder of the update run's state.
// On its left a picture; on its right the log box, the status line (the caption of the group
// box) with the progress bar, and the one button that runs the update and then finishes.
class CUpdateDlg : public CDialog {
public:
    explicit CUpdateDlg(CDialog* pParent = nullptr);

    BOOL DestroyWindow() override;

    // The scale of the patch library's progress reports: its full value is a full bar.
    static constexpr int kPatchProgressRange = FPATCH_PROGRESS_FULL;

    // The status display: each call replaces what its control shows. Virtual so that tests
    // can watch the update workflow without a window.
    virtual void SetStatusText(std::string text);
    virtual void SetProgress(int position);
    virtual void SetLogText(std::string text);
    virtual void SetProgressRange(int low, int high);

    // Copies a file named by the patch library from the CD into the install folder,
    // replacing what is there; on failure tells the player in the log and sets m_bError.
    virtual void CopyFromCD(std::string name);

    // A modal box owned by the dialog; returns the button chosen. Virtual, as the registry
    // writer below, so that tests can run the update without a window or a registry.
    virtual int ShowMessageBox(const std::string& text, UINT type);
    // Writes the game's registry value Program; true on success.
    virtual bool WriteProgramPath(const std::string& path);

    // The PrivateBuild string of game.exe on the CD, or the empty text.
    std::string GetGameBuild();
    // Hands one patch file to the patch library; returns when the library is done with it.
    void ApplyPatchFile(std::string fileName);

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

private:
    // From the first click until its run has ended.
    bool m_bRunning = false;
    // The player asked to close the window while the run was going on.
    bool m_bCloseRequested = false;
    // The run renamed the install folder, so the finish renames it back.
    bool m_bRenamed = false;
    // The registry names the sanitised folder, so the finish writes the saved path back.
    bool m_bSanitisedPathRecorded = false;

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

    // Start-up checks, the last steps of initialisation: the game is installed, it is the
    // edition this update is for, and the CD is found. FALSE after a failed check, which
    // has told the player and asked the dialog to close.
    BOOL RunStartupChecks();
    BOOL FailStartup(int textNumber);
    bool CheckGameLanguage();
    int FirstPatchNumber() const;
    bool FindGameCd(int cdNumber);

    // The update run and its finish.
    void RunUpdate(HWND button);
    bool MoveToSanitisedPath();
    void ApplyPresentPatchFiles(bool& nothingApplied);
    bool AskForCd(int number);
    void StopForCloseRequest();
    void FinishUpdate();
    void RestoreGameFolder();
    bool RecordProgramPath(const std::string& path);

    void ReportCopyFailure(const std::string& statusLine, const std::string& target,
                           unsigned long errorCode);
    void AppendToUpdateMap(std::string name);
};

// The live main dialog, for the patch library's callback; set once, never cleared.
extern CUpdateDlg* g_pUpdateDlg;
// 1 until the first click has run the update; every click counts it down.
extern int g_nPendingRuns;
