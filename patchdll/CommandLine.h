#pragma once
#include <cstddef>
#include <string>

namespace patchdll {

struct CommandLine {
    std::string patchFile;
    std::string folder; // empty: the folder the patch file's locator names
};

// Splits the library's command line: the patch file's name, optionally followed by the game
// folder; either in double quotes when it holds spaces. At most `maxLength` characters are
// read, so a buffer without a NUL within them is refused rather than overrun. False with a
// text for the player on anything else.
bool ParseCommandLine(const char* text, size_t maxLength, CommandLine& parsed, std::string& error);

} // namespace patchdll
