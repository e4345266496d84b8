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

// Requests every folder on the way to the file, shortest first: the drive's root, each
// folder of the install path, each folder of the name. Their outcomes are left alone:
// folders that exist, and the root, fail as they should, and a folder that could not be made
// shows as the copy's own failure, with the copy's own error code.
void CreateFoldersOf(const std::string& path) {
    for (size_t at = path.find_first_of("\\/"); at != std::string::npos;
         at = path.find_first_of("\\/", at + 1))
        CreateDirectoryA(path.substr(0, at + 1).c_str(), nullptr);
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
    CreateFoldersOf(target);
    m_ui.SetStatusText(statusLine);
    m_ui.SetProgressRange(0, scale);
    m_ui.SetProgress(scale >> 1); // the copy reports no progress of its own: halfway while it runs

    unsigned long error = 0;
    if (CopyFileIntoPlace(source, target, error)) {
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
