#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// What a player does, as messages posted to the program: never sent, since an action that
// opens a modal box would keep a sender waiting until the box is closed.

// A click on the button `id` of `dialog`. A player cannot click a disabled or hidden button,
// so that fails with `error` set.
bool ClickButton(HWND dialog, int id, std::string& error);
bool PostSysCommand(HWND window, UINT command);
bool PostClose(HWND window);
// A key press delivered to the dialog itself, so that its own keyboard handling (Esc cancels,
// Enter presses the default button) decides what it means.
bool PressKey(HWND dialog, UINT virtualKey);

} // namespace e2e
