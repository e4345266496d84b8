#include "RegistryReader.h"

#include <windows.h>

#include <vector>

namespace e2e {

bool ReadUserRegistryString(const std::string& key, const std::string& name, std::string& value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != 0)
        return false;
    DWORD size = 0;
    bool found = RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, nullptr, &size) == 0;
    std::vector<char> data(size + 1, '\0');
    found = found && RegQueryValueExA(handle, name.c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(data.data()), &size) == 0;
    RegCloseKey(handle);
    if (found)
        value.assign(data.data()); // up to the terminating zero
    return found;
}

} // namespace e2e
