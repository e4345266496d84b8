#include "CdCopier.h"

#include "LanguageTable.h"
#include "RelativeName.h"
#include "SystemErrorText.h"
#include "TextFormat.h"
#include "UpdateMapRules.h"
#include "Win32Files.h"

#include <windows.h>

#include <climits>
#include <cstdio>

namespace {

// The file's size for the progress bar, or -1 when there is no such file.
long long FileSizeOf(const std::string& path, DWORD* attributes = nullptr) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    if (attributes)
        *attributes = data.dwFileAttributes;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// An existing target loses its read-only attribute (files copied from a CD carry it), so
// the copy can replace it. A failure here is left to the copy to report.
long long PrepareTarget(const std::string& target) {
    DWORD attributes = 0;
    long long size = FileSizeOf(target, &attributes);
    if (size >= 0 && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return size;
}

// Requests every folder on the way to the file, shortest first. Folders that exist, and
// the drive's root, fail quietly. Returns 0, or, when the file's own folder is still missing,
// why the first missing folder could not be made (say, a read-only game folder): the copy
// itself would only report that the path is not found.
unsigned long CreateFoldersOf(const std::string& path) {
    unsigned long firstError = 0;
    size_t last = std::string::npos;
    for (size_t at = path.find_first_of("\\/"); at != std::string::npos;
         at = path.find_first_of("\\/", at + 1)) {
        std::string folder = path.substr(0, at + 1);
        if (!CreateDirectoryA(folder.c_str(), nullptr)) {
            DWORD error = GetLastError();
            if (firstError == 0 && !FileExists(folder))
                firstError = error;
        }
        last = at;
    }
    return last == std::string::npos || FileExists(path.substr(0, last + 1)) ? 0 : firstError;
}

int ProgressScale(long long size) {
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

} // namespace

void CdCopier::CopyFromCD(std::string name) {
    std::string target = m_state.programPath + name;
    std::string source = m_state.fmvPath + name;
    std::string statusLine = quill::FormatText(TableText(15), {"...\\" + name});

    // The name comes from a patch file: one that would leave the install folder is refused
    // before anything touches the disk.
    if (!quill::IsSafeRelativeName(name)) {
        m_ui.SetStatusText(statusLine);
        ReportCopyFailure(statusLine, target, ERROR_INVALID_NAME);
        return;
    }

    long long size = PrepareTarget(target);
    if (size < 0)
        size = FileSizeOf(source); // nothing to replace yet: the CD's file gives the scale
    int scale = size < 0 ? 0 : ProgressScale(size);
    unsigned long error = CreateFoldersOf(target);
    m_ui.SetStatusText(statusLine);
    m_ui.SetProgressRange(0, scale);
    m_ui.SetProgress(scale >> 1); // the copy reports no progress of its own: halfway while it runs

    if (error == 0 && CopyFileIntoPlace(source, target, error)) {
        if (quill::IsRecordedInUpdateMap(name))
            AppendToUpdateMap(name);
    } else {
        ReportCopyFailure(statusLine, target, error);
    }
    m_ui.SetProgress(scale);
    m_ui.SetProgressRange(0, kPatchProgressRange);
}

void CdCopier::ReportCopyFailure(const std::string& statusLine, const std::string& target,
                                 unsigned long errorCode) {
    m_ui.SetLogText(statusLine + quill::FormatText(TableText(16), {target}) + "\r\n" +
                    SystemErrorText(errorCode) + "\r\n");
    m_state.error = TRUE;
}

// The list is only ever appended to. Writing it is best effort: a list that cannot be
// written costs the game nothing it needs for this update, so the run goes on quietly.
void CdCopier::AppendToUpdateMap(std::string name) {
    std::string path = quill::FormatText("%supdate.map", {m_state.programPath});
    // Text mode: the line's "\n" reaches the disk as CR LF.
    m_state.updateMap = std::fopen(path.c_str(), "a");
    if (!m_state.updateMap)
        return;
    std::fputs(name.c_str(), m_state.updateMap);
    std::fputs("\n", m_state.updateMap);
    std::fclose(m_state.updateMap);
    m_state.updateMap = nullptr;
}
