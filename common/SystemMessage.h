#pragma once
#include <string>

namespace quill {

// The system's own text for a Win32 error code in the default language, without the line
// end that the system appends; empty when the system has no text for the code. Windows only.
std::string SystemMessage(unsigned long code);

} // namespace quill
