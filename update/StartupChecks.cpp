#include "StartupChecks.h"

#include "CdSearch.h"
#include "GameRegistry.h"
#include "LanguageTable.h"
#include "TextFormat.h"
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

BOOL StartupChecks::Fail(int textNumber) {
    m_ui.ShowMessageBox(TableText(textNumber), MB_OK);
    m_ui.RequestClose();
    return FALSE;
}

BOOL StartupChecks::Run() {
    // Both values are always read; a missing Program is reported only after Fmv.
    bool programReadable = ReadGameValue(kProgramValue, m_state.programPath);
    if (programReadable)
        AppendBackslash(m_state.programPath);
    if (!ReadGameValue(kFmvValue, m_state.fmvPath))
        return Fail(3);
    AppendBackslash(m_state.fmvPath);
    if (!programReadable)
        return Fail(3);

    if (!CheckGameLanguage())
        return Fail(18);

    // A video folder that is a drive root is the CD drive itself: no search.
    if (m_state.fmvPath.size() == 3)
        return TRUE;
    SetCurrentDirectoryA(m_state.updateDir.c_str());
    return FindGameCd(FirstPatchNumber()) ? TRUE : Fail(12);
}

bool StartupChecks::CheckGameLanguage() {
    std::string languageFile = m_state.programPath + "language.ini";
    char title[200];
    GetPrivateProfileStringA("language", "379", kAbsentValue, title, sizeof title,
                             languageFile.c_str());
    if (std::strcmp(title, kAbsentValue) == 0 || _stricmp(title, TableText(0).c_str()) != 0)
        return false;
    m_ui.SetCaption(title);
    return true;
}

// The number of the first patch file present beside the updater, 0 when there is none:
// the CD that the first patch needs is the one asked for.
int StartupChecks::FirstPatchNumber() const {
    for (int number = 1; number <= quill::kPatchFileCount; ++number) {
        if (FileExists(quill::PatchFileName(number)))
            return number;
    }
    return 0;
}

// Asks for the CD until its marker is found in a drive (true) or the player cancels.
bool StartupChecks::FindGameCd(int cdNumber) {
    Win32DriveProbe probe;
    for (;;) {
        if (m_ui.ShowMessageBox(quill::FormatText(TableText(21), {cdNumber}), MB_OKCANCEL) ==
            IDCANCEL)
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
            m_state.fmvPath = root;
            return true;
        }
    }
}
