#pragma once
#include <windows.h>

#include <string>

// A folder of its own under the temporary folder for one test, removed with its files.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path with a trailing backslash.
    const std::string& path() const { return path_; }
    // Writes `content` byte for byte to `name` (which may hold subfolders that exist).
    void WriteFile(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};
