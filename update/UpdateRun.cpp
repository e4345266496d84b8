// The button: the first click runs the update, the next one puts the game folder back and
// closes the program.
#include "CdSearch.h"
#include "GameRegistry.h"
#include "LanguageTable.h"
#include "PathSanitising.h"
#include "TextFormat.h"
#include "UpdateDlg.h"
#include "Win32Files.h"

#include <windows.h>

#include <cstdio>

int g_nPendingRuns = 1;

namespace {

bool RenameFolder(const std::string& from, const std::string& to) {
    return std::rename(quill::WithoutTrailingBackslash(from).c_str(),
                       quill::WithoutTrailingBackslash(to).c_str()) == 0;
}

} // namespace

void CUpdateDlg::OnOK() {
    // The button is disabled during the run; a click that still arrives (posted while the
    // library lets the window breathe) must not start the run inside itself.
    if (m_bRunning)
        return;
    m_bError = FALSE;
    HWND button = GetDlgItem(IDOK);
    if (g_nPendingRuns == 1)
        RunUpdate(button);
    else
        FinishUpdate();
    --g_nPendingRuns;
}

// Esc, the close box and Close in the system menu. Before the run they just end the dialog;
// after it they put the game folder back first, as the button does; during it they are
// remembered: the run stops before the next patch file, and then the dialog ends.
void CUpdateDlg::OnCancel() {
    if (m_bRunning) {
        m_bCloseRequested = true;
        return;
    }
    if (g_nPendingRuns != 1)
        RestoreGameFolder();
    CDialog::OnCancel();
}

void CUpdateDlg::RunUpdate(HWND button) {
    m_bRunning = true;
    m_bCloseRequested = false;
    if (button)
        EnableWindow(button, FALSE);
    SetLogText(TableText(7));

    bool nothingApplied = true;
    if (MoveToSanitisedPath())
        ApplyPresentPatchFiles(nothingApplied);
    if (m_bError)
        ShowMessageBox(TableText(11), MB_OK);
    else
        SetLogText(TableText(nothingApplied ? 12 : 13));
    m_bRunning = false;

    if (m_bCloseRequested) {
        RestoreGameFolder();
        EndDialog(IDCANCEL);
        return;
    }
    if (button) {
        EnableWindow(button, TRUE);
        SetWindowTextA(button, TableText(14).c_str());
    }
}

// The game's tools cannot handle bytes outside printable ASCII in the install path, so for
// the run the folder takes a sanitised name and the registry follows it. False, with the
// player told, when the path had to change but the registry or the folder could not follow:
// patching a fresh folder of the new name would leave the real installation as it was.
bool CUpdateDlg::MoveToSanitisedPath() {
    m_strSavedProgramPath = m_strProgramPath;
    const std::string sanitised = quill::SanitiseInstallPath(m_strSavedProgramPath);
    m_strProgramPath = sanitised;
    bool recorded = RecordProgramPath(sanitised);
    m_bRenamed = recorded && RenameFolder(m_strSavedProgramPath, sanitised);
    if (sanitised == m_strSavedProgramPath || m_bRenamed)
        return true;

    m_strProgramPath = m_strSavedProgramPath;
    m_bError = TRUE;
    const std::string sanitisedFolder = quill::WithoutTrailingBackslash(sanitised);
    if (!recorded) {
        SetLogText(quill::FormatText(TableText(24), {sanitisedFolder}));
        return false;
    }
    RecordProgramPath(m_strSavedProgramPath);
    SetLogText(quill::FormatText(
        TableText(22), {quill::WithoutTrailingBackslash(m_strSavedProgramPath), sanitisedFolder}));
    return false;
}

void CUpdateDlg::ApplyPresentPatchFiles(bool& nothingApplied) {
    std::string wantedBuild = TableText(19);
    SetCurrentDirectoryA(m_strUpdateDir.c_str());
    for (int number = 1; number <= quill::kPatchFileCount; ++number) {
        std::string patchFile = quill::PatchFileName(number);
        if (!FileExists(patchFile))
            continue;
        // A close request stops the run before the next patch file; when none is left, the
        // run has completed.
        if (m_bCloseRequested)
            return StopForCloseRequest();
        bool cdInserted = AskForCd(number);
        if (m_bCloseRequested)
            return StopForCloseRequest();
        if (!cdInserted) {
            m_bError = TRUE;
            SetLogText(TableText(9));
        }
        if (number == 1 && _stricmp(GetGameBuild().c_str(), wantedBuild.c_str()) != 0) {
            ShowMessageBox(TableText(20), MB_OK);
            m_bError = TRUE;
        }
        if (m_bError)
            return;
        nothingApplied = false;
        ApplyPatchFile(patchFile);
        if (m_bError)
            return;
    }
}

// Asks for CD `number` until its marker is there (true) or the player says No.
bool CUpdateDlg::AskForCd(int number) {
    std::string marker = quill::CdMarkerPath(m_strFmvPath, number);
    std::string prompt = quill::FormatText(TableText(8), {number, m_strFmvPath});
    for (;;) {
        if (ShowMessageBox(prompt, MB_YESNO) != IDYES || m_bCloseRequested)
            return false;
        if (FileExists(marker))
            return true;
        prompt = quill::FormatText(TableText(10), {number, m_strFmvPath});
    }
}

// The player closed the window during the run: it ends as if a CD prompt had been refused.
void CUpdateDlg::StopForCloseRequest() {
    m_bError = TRUE;
    SetLogText(TableText(9));
}

void CUpdateDlg::FinishUpdate() {
    RestoreGameFolder();
    CDialog::OnOK();
}

// Renames the folder back and writes its path to the registry again. When the folder cannot
// go back (a file of it is open elsewhere), the registry keeps pointing where it now is.
void CUpdateDlg::RestoreGameFolder() {
    const std::string savedFolder = quill::WithoutTrailingBackslash(m_strSavedProgramPath);
    if (m_bRenamed && !RenameFolder(m_strProgramPath, m_strSavedProgramPath) &&
        m_strProgramPath != m_strSavedProgramPath) {
        ShowMessageBox(
            quill::FormatText(TableText(23),
                              {savedFolder, quill::WithoutTrailingBackslash(m_strProgramPath)}),
            MB_OK);
        return;
    }
    m_bRenamed = false;
    m_strProgramPath = m_strSavedProgramPath;
    if (!RecordProgramPath(m_strSavedProgramPath) && m_bSanitisedPathRecorded) {
        // The game would look for itself in a folder that no longer exists.
        const std::string sanitised = quill::SanitiseInstallPath(m_strSavedProgramPath);
        ShowMessageBox(quill::FormatText(TableText(25),
                                         {savedFolder, quill::WithoutTrailingBackslash(sanitised)}),
                       MB_OK);
    }
}

// Writes Program and keeps track of whether it names the sanitised folder.
bool CUpdateDlg::RecordProgramPath(const std::string& path) {
    if (!WriteProgramPath(path))
        return false;
    m_bSanitisedPathRecorded = path != m_strSavedProgramPath;
    return true;
}

bool CUpdateDlg::WriteProgramPath(const std::string& path) {
    return WriteGameValue(kProgramValue, path);
}
