#pragma once
#include <windows.h>

#include <string>

// The application's name: the executable's file name without folder and extension. Every
// message box carries it as its caption, so a renamed updater names itself.
std::string AfxGetAppName();

// A modal message box owned by the main window; returns the button chosen (IDOK, IDYES...).
// Without an icon in `type`, the usual one for the buttons is added.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
