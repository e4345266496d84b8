#include "GameBuild.h"

#include "TextFormat.h"

#include <windows.h>

#include <cstring>
#include <vector>

std::string ReadGameBuild(const std::string& cdFolder) {
    std::string path = quill::FormatText("%sgame.exe", {cdFolder});
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unused);
    if (size == 0)
        return std::string();
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return std::string();
    char* build = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\PrivateBuild",
                        reinterpret_cast<void**>(&build), &length) ||
        !build)
        return std::string();
    return std::string(build, strnlen(build, length));
}
