#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The words of one command line, split at spaces, and the parsing of each kind of argument.
std::vector<std::string> SplitWords(const std::string& line);

// Window handles travel as hexadecimal numbers with 0x in front.
std::string FormatWindow(HWND window);
bool ParseWindow(const std::string& word, HWND& window);
// Decimal, or hexadecimal with 0x in front (control ids, command ids, milliseconds).
bool ParseNumber(const std::string& word, long& value);

} // namespace e2e
