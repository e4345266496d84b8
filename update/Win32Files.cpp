#include "Win32Files.h"

#include <windows.h>

namespace {

const char kCopySuffix[] = ".cd~";

// A copy of a CD's file carries its read-only attribute, which would keep it from going.
void RemoveCopy(const std::string& copy) {
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy.c_str());
}

} // namespace

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyFileIntoPlace(const std::string& source, const std::string& target, unsigned long& error) {
    const std::string copy = target + kCopySuffix;
    RemoveCopy(copy); // left by a run that was killed during its copy
    if (CopyFileA(source.c_str(), copy.c_str(), TRUE) &&
        MoveFileExA(copy.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    error = GetLastError();
    RemoveCopy(copy);
    return false;
}
