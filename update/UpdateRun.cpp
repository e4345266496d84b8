#include "UpdateRun.h"

#include "CdSearch.h"
#include "GameBuild.h"
#include "LanguageTable.h"
#include "PathSanitising.h"
#include "TextFormat.h"
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

void UpdateRun::Click() {
    // The button is disabled during the run; a click that still arrives (posted while the
    // library lets the window breathe) must not start the run inside itself.
    if (m_bRunning)
        return;
    m_state.error = FALSE;
    if (g_nPendingRuns == 1)
        RunUpdate();
    else
        FinishUpdate();
    --g_nPendingRuns;
}

// Esc, the close box and Close in the system menu. Before the run they just end the dialog;
// after it they put the game folder back first, as the button does; during it they are
// remembered: the run stops before the next patch file, and then the dialog ends.
void UpdateRun::Cancel() {
    if (m_bRunning) {
        m_bCloseRequested = true;
        return;
    }
    if (g_nPendingRuns != 1)
        RestoreGameFolder();
    m_ui.CloseDialog(IDCANCEL);
}

void UpdateRun::RunUpdate() {
    m_bRunning = true;
    m_bCloseRequested = false;
    m_ui.EnableButton(false);
    m_ui.SetLogText(TableText(7));

    bool nothingApplied = true;
    if (MoveToSanitisedPath())
        ApplyPresentPatchFiles(nothingApplied);
    if (m_state.error)
        m_ui.ShowMessageBox(TableText(11), MB_OK);
    else
        m_ui.SetLogText(TableText(nothingApplied ? 12 : 13));
    m_bRunning = false;

    if (m_bCloseRequested) {
        RestoreGameFolder();
        m_ui.CloseDialog(IDCANCEL);
        return;
    }
    m_ui.EnableButton(true);
    m_ui.SetButtonText(TableText(14));
}

// The game's tools cannot handle bytes outside printable ASCII in the install path, so for
// the run the folder takes a sanitised name and the registry follows it. False, with the
// player told, when the path had to change but the registry or the folder could not follow:
// patching a fresh folder of the new name would leave the real installation as it was.
bool UpdateRun::MoveToSanitisedPath() {
    m_state.savedProgramPath = OriginalProgramPath();
    // A run that was killed left the folder under the sanitised name, which it bears already.
    const bool alreadyMoved = m_state.savedProgramPath != m_state.programPath;
    const std::string sanitised = quill::SanitiseInstallPath(m_state.savedProgramPath);
    if (sanitised != m_state.savedProgramPath)
        m_ui.WriteOriginalProgramPath(m_state.savedProgramPath);
    m_state.programPath = sanitised;
    bool recorded = RecordProgramPath(sanitised);
    m_bRenamed = alreadyMoved || (recorded && RenameFolder(m_state.savedProgramPath, sanitised));
    if (sanitised == m_state.savedProgramPath || m_bRenamed)
        return true;

    m_state.programPath = m_state.savedProgramPath;
    m_state.error = TRUE;
    const std::string sanitisedFolder = quill::WithoutTrailingBackslash(sanitised);
    if (!recorded) {
        m_ui.SetLogText(quill::FormatText(TableText(24), {sanitisedFolder}));
        return false;
    }
    RecordProgramPath(m_state.savedProgramPath);
    m_ui.SetLogText(
        quill::FormatText(TableText(22), {quill::WithoutTrailingBackslash(m_state.savedProgramPath),
                                          sanitisedFolder}));
    return false;
}

// The install folder's name from before the run: the one a killed run kept, when the folder
// the registry names is its sanitised form, else the folder the registry names.
std::string UpdateRun::OriginalProgramPath() {
    std::string kept;
    if (m_ui.ReadOriginalProgramPath(kept) && !kept.empty() &&
        quill::SanitiseInstallPath(kept) == m_state.programPath)
        return kept;
    return m_state.programPath;
}

void UpdateRun::ApplyPresentPatchFiles(bool& nothingApplied) {
    std::string wantedBuild = TableText(19);
    SetCurrentDirectoryA(m_state.updateDir.c_str());
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
            m_state.error = TRUE;
            m_ui.SetLogText(TableText(9));
        }
        if (number == 1 &&
            _stricmp(ReadGameBuild(m_state.fmvPath).c_str(), wantedBuild.c_str()) != 0) {
            m_ui.ShowMessageBox(TableText(20), MB_OK);
            m_state.error = TRUE;
        }
        if (m_state.error)
            return;
        nothingApplied = false;
        m_ui.ApplyPatchFile(patchFile);
        if (m_state.error)
            return;
    }
}

// Asks for CD `number` until its marker is there (true) or the player says No.
bool UpdateRun::AskForCd(int number) {
    std::string marker = quill::CdMarkerPath(m_state.fmvPath, number);
    std::string prompt = quill::FormatText(TableText(8), {number, m_state.fmvPath});
    for (;;) {
        if (m_ui.ShowMessageBox(prompt, MB_YESNO) != IDYES || m_bCloseRequested)
            return false;
        if (FileExists(marker))
            return true;
        prompt = quill::FormatText(TableText(10), {number, m_state.fmvPath});
    }
}

// The player closed the window during the run: it ends as if a CD prompt had been refused.
void UpdateRun::StopForCloseRequest() {
    m_state.error = TRUE;
    m_ui.SetLogText(TableText(9));
}

void UpdateRun::FinishUpdate() {
    RestoreGameFolder();
    m_ui.CloseDialog(IDOK);
}

// Renames the folder back and writes its path to the registry again. When the folder cannot
// go back (a file of it is open elsewhere), the registry keeps pointing where it now is.
void UpdateRun::RestoreGameFolder() {
    const std::string savedFolder = quill::WithoutTrailingBackslash(m_state.savedProgramPath);
    if (m_bRenamed && !RenameFolder(m_state.programPath, m_state.savedProgramPath) &&
        m_state.programPath != m_state.savedProgramPath) {
        m_ui.ShowMessageBox(
            quill::FormatText(TableText(23),
                              {savedFolder, quill::WithoutTrailingBackslash(m_state.programPath)}),
            MB_OK);
        return;
    }
    m_bRenamed = false;
    m_state.programPath = m_state.savedProgramPath;
    if (RecordProgramPath(m_state.savedProgramPath)) {
        // The folder and the registry bear the name again: nothing is left to give back.
        m_ui.ForgetOriginalProgramPath();
    } else if (m_bSanitisedPathRecorded) {
        // The game would look for itself in a folder that no longer exists.
        const std::string sanitised = quill::SanitiseInstallPath(m_state.savedProgramPath);
        m_ui.ShowMessageBox(
            quill::FormatText(TableText(25),
                              {savedFolder, quill::WithoutTrailingBackslash(sanitised)}),
            MB_OK);
    }
}

// Writes Program and keeps track of whether it names the sanitised folder.
bool UpdateRun::RecordProgramPath(const std::string& path) {
    if (!m_ui.WriteProgramPath(path))
        return false;
    m_bSanitisedPathRecorded = path != m_state.savedProgramPath;
    return true;
}
