#include "TempFolder.h"

#include <cstdio>

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = folder + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full + "\\");
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    char name[64];
    std::snprintf(name, sizeof name, "quilltest-%lu-%u\\", GetCurrentProcessId(), ++counter);
    path_ = std::string(base) + name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void TempFolder::WriteFile(const std::string& name, const std::string& content) const {
    FILE* file = std::fopen((path_ + name).c_str(), "wb");
    if (!file)
        return;
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}
