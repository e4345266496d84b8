#include "PathSanitising.h"

namespace quill {

std::string SanitiseInstallPath(const std::string& path) {
    std::string sanitised = path;
    for (char& c : sanitised) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x80)
            c = '0';
    }
    return sanitised;
}

std::string WithoutTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

} // namespace quill
