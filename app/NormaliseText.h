#pragma once
#include <string>

// Prepares a text for the status line and the log box: every LF becomes CR LF, which a
// multi-line edit needs for a line break (a CR LF already there becomes CR CR LF), and every
// run of two or more spaces becomes one space. Tabs and everything else stay as they are.
void NormaliseText(std::string& text);
