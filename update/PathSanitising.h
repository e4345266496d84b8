#pragma once
#include <string>

namespace quill {

// The install path as the game's tools can handle it: every byte below 0x20 or from 0x80 up
// becomes '0'. Each byte is judged on its own, so a double-byte character gives two '0's.
std::string SanitiseInstallPath(const std::string& path);

// A folder path as rename() takes it: one trailing backslash removed, never more.
std::string WithoutTrailingBackslash(const std::string& path);

} // namespace quill
