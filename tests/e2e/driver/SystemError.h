#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// The system's text for an error code, without the line end that FormatMessage appends.
std::string SystemErrorText(DWORD code);

} // namespace e2e
