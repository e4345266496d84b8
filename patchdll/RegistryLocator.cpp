#include "RegistryLocator.h"

#include <vector>
#include <windows.h>

namespace patchdll {
namespace {

// A path longer than this cannot be used with the ANSI file functions anyway.
constexpr DWORD kMaxValueBytes = 4096;

class RegistryKey {
public:
    ~RegistryKey() {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Registry strings need not end in a NUL; the data is cut at the first one, if any.
std::string StringFromData(const std::vector<char>& data, DWORD size) {
    std::string text(data.data(), size);
    size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

std::string Expand(const std::string& text) {
    char expanded[MAX_PATH * 4];
    DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded, sizeof(expanded));
    return length == 0 || length > sizeof(expanded) ? text : std::string(expanded);
}

} // namespace

bool RegistryLocator::Find(const patchfile::Locator& locator, std::string& folder,
                           std::string& error) {
    std::string where = "HKEY_CURRENT_USER\\" + locator.key + " value " + locator.value;
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, locator.key.c_str(), 0, KEY_QUERY_VALUE, key.out()) !=
        ERROR_SUCCESS) {
        error = "the game folder was not found: the registry key HKEY_CURRENT_USER\\" +
                locator.key + " is missing";
        return false;
    }
    DWORD type = 0;
    DWORD size = kMaxValueBytes;
    std::vector<char> data(kMaxValueBytes);
    LONG status = RegQueryValueExA(key.get(), locator.value.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        error = "the game folder was not found: the registry " + where + " is missing";
        return false;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        error = "the game folder was not found: the registry " + where + " is not a folder name";
        return false;
    }
    folder = StringFromData(data, size);
    if (type == REG_EXPAND_SZ)
        folder = Expand(folder);
    if (folder.empty()) {
        error = "the game folder was not found: the registry " + where + " is empty";
        return false;
    }
    return true;
}

} // namespace patchdll
