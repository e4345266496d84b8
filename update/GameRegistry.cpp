#include "GameRegistry.h"

#include <windows.h>

#include <shlwapi.h>

#include <cstring>

const char kGameRegistryKey[] = "Software\\Corvanel\\Tessik";
const char kProgramValue[] = "Program";
const char kFmvValue[] = "Fmv";
const char kOriginalProgramValue[] = "UpdateOriginalProgram";

namespace {
constexpr DWORD kValueBufferSize = 260;
}

bool ReadGameValue(const char* name, std::string& value) {
    char buffer[kValueBufferSize];
    DWORD size = sizeof buffer;
    if (SHGetValueA(HKEY_CURRENT_USER, kGameRegistryKey, name, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return false;
    // A value stored without its zero (or not as a string at all) must not be read past.
    value.assign(buffer, strnlen(buffer, size < sizeof buffer ? size : sizeof buffer));
    return true;
}

bool WriteGameValue(const char* name, const std::string& value) {
    return SHSetValueA(HKEY_CURRENT_USER, kGameRegistryKey, name, REG_SZ, value.c_str(),
                       static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void DeleteGameValue(const char* name) {
    SHDeleteValueA(HKEY_CURRENT_USER, kGameRegistryKey, name);
}
