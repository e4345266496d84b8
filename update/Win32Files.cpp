#include "Win32Files.h"

#include "TemporaryName.h"

#include <windows.h>

namespace {

// The copy is the run's own file: the read-only attribute it has from the CD would keep it
// from going.
void RemoveCopy(const std::string& copy) {
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy.c_str());
}

// Windows refuses a name past MAX_PATH; a system that writes it anyway may then refuse to
// move or remove it, so it is refused before anything is written.
bool IsPastMaxPath(const std::string& path, unsigned long& error) {
    if (path.size() < MAX_PATH)
        return false;
    error = ERROR_FILENAME_EXCED_RANGE;
    return true;
}

// Copies `source` to a name of the run's own beside `target`. A name that is taken (by a file
// of the player's, of the game, or left by a killed run) is never touched: the next one is
// tried, and CopyFileA is told not to replace anything.
bool CopyBesideTarget(const std::string& source, const std::string& target, std::string& copy,
                      unsigned long& error) {
    error = ERROR_FILE_EXISTS;
    for (unsigned number = 1; number <= quill::kTemporaryNameAttempts; ++number) {
        copy = quill::TemporaryNameBeside(target, number);
        if (IsPastMaxPath(copy, error))
            return false;
        if (GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        if (DWORD code = GetLastError(); code != ERROR_FILE_NOT_FOUND) {
            error = code;
            return false;
        }
        if (CopyFileA(source.c_str(), copy.c_str(), TRUE))
            return true;
        error = GetLastError();
        if (error == ERROR_FILE_EXISTS)
            continue;     // taken since it was looked at
        RemoveCopy(copy); // what a failed copy wrote is the run's own
        return false;
    }
    return false;
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
    std::string copy;
    if (IsPastMaxPath(target, error) || !CopyBesideTarget(source, target, copy, error))
        return false;
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
