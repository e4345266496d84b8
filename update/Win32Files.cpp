#include "Win32Files.h"

#include <windows.h>

namespace {

const char kCopySuffix[] = ".cd~";

// A copy of a CD's file carries its read-only attribute, which would keep it from going.
void RemoveCopy(const std::string& copy) {
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy.c_str());
}

// CopyFileA leaves the copy in the system's cache: after a power cut the move could survive
// without the data, leaving an empty file under the target's name. A flush needs write
// access, which the CD's read-only attribute on the copy refuses, so it is lifted meanwhile.
bool FlushToDisk(const std::string& path, unsigned long& error) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly)
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
    if (!flushed)
        error = GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (readOnly)
        SetFileAttributesA(path.c_str(), attributes);
    return flushed;
}

bool IsInUseElsewhere(const std::string& path) {
    // Replacing a file needs the delete access that a process holding it without sharing
    // denies; asking for that access alone, sharing everything, tells exactly that case.
    HANDLE file =
        CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyFileIntoPlace(const std::string& source, const std::string& target, unsigned long& error) {
    const std::string copy = target + kCopySuffix;
    // Windows refuses a copy's name past MAX_PATH; a system that writes it anyway may then
    // refuse to move or remove it, so it is refused here before anything is written.
    if (copy.size() >= MAX_PATH) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    RemoveCopy(copy); // left by a run that was killed during its copy
    if (!CopyFileA(source.c_str(), copy.c_str(), TRUE)) {
        error = GetLastError();
        RemoveCopy(copy);
        return false;
    }
    if (!FlushToDisk(copy, error)) {
        RemoveCopy(copy);
        return false;
    }
    if (!MoveFileExA(copy.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        // Refused because the game (or another program) holds the file: say so, rather than
        // the bare "access denied" that the move reports.
        if (error == ERROR_ACCESS_DENIED && IsInUseElsewhere(target))
            error = ERROR_SHARING_VIOLATION;
        RemoveCopy(copy);
        return false;
    }
    return true;
}
