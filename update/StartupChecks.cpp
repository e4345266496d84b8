// The checks that end the main dialog's initialisation: the game is installed, it is the
// edition this update is for, and the game CD is found.
#include "CdSearch.h"
#include "GameRegistry.h"
#include "LanguageTable.h"
#include "TextFormat.h"
#include "UpdateDlg.h"
#include "Win32Files.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

namespace {

void AppendBackslash(std::string& folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
}

class Win32DriveProbe : public quill::DriveProbe {
public:
    unsigned DriveType(const std::string& root) override { return GetDriveTypeA(root.c_str()); }
    bool Exists(const std::string& path) override { return FileExists(path); }
};

} // namespace

BOOL CUpdateDlg::FailStartup(int textNumber) {
    ShowMessageBox(TableText(textNumber), MB_OK);
    PostMessageA(GetSafeHwnd(), WM_CLOSE, 0, 0);
    return FALSE;
}

BOOL CUpdateDlg::RunStartupChecks() {
    // Both values are always read; a missing Program is reported only after Fmv.
    bool programReadable = ReadGameValue(kProgramValue, m_strProgramPath);
    if (programReadable)
        AppendBackslash(m_strProgramPath);
    if (!ReadGameValue(kFmvValue, m_strFmvPath))
        return FailStartup(3);
    AppendBackslash(m_strFmvPath);
    if (!programReadable)
        return FailStartup(3);

    if (!CheckGameLanguage())
        return FailStartup(18);

    // A video folder that is a drive root is the CD drive itself: no search.
    if (m_strFmvPath.size() == 3)
        return TRUE;
    SetCurrentDirectoryA(m_strUpdateDir.c_str());
    return FindGameCd(FirstPatchNumber()) ? TRUE : FailStartup(12);
}

bool CUpdateDlg::CheckGameLanguage() {
    std::string languageFile = m_strProgramPath + "language.ini";
    char title[200];
    GetPrivateProfileStringA("language", "379", kAbsentValue, title, sizeof title,
                             languageFile.c_str());
    if (std::strcmp(title, kAbsentValue) == 0 || _stricmp(title, TableText(0).c_str()) != 0)
        return false;
    SetWindowTextA(GetSafeHwnd(), title);
    return true;
}

// The number of the first patch file present beside the updater, 0 when there is none:
// the CD that the first patch needs is the one asked for.
int CUpdateDlg::FirstPatchNumber() const {
    for (int number = 1; number <= quill::kPatchFileCount; ++number) {
        if (FileExists(quill::PatchFileName(number)))
            return number;
    }
    return 0;
}

// Asks for the CD until its marker is found in a drive (true) or the player cancels.
bool CUpdateDlg::FindGameCd(int cdNumber) {
    Win32DriveProbe probe;
    for (;;) {
        if (ShowMessageBox(quill::FormatText(TableText(21), {cdNumber}), MB_OKCANCEL) == IDCANCEL)
            return false;
        DWORD needed = GetLogicalDriveStringsA(0, nullptr);
        std::unique_ptr<char[]> drives(new (std::nothrow) char[needed + 1]);
        if (!drives)
            continue;
        DWORD length = GetLogicalDriveStringsA(needed, drives.get());
        if (length > needed)
            continue; // a drive appeared since the size was asked: ask again
        std::string root = quill::FindCdInDriveList(drives.get(), length, cdNumber, probe);
        if (!root.empty()) {
            m_strFmvPath = root;
            return true;
        }
    }
}
