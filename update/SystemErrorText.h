#pragma once
#include <string>

// The system's own text for an error code, as the player's language gives it (Windows' texts
// end in CR LF). "Error <code>" when the system has no text for the code.
std::string SystemErrorText(unsigned long code);
