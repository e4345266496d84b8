#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// What a player does, as messages posted to the program: never sent, since an action that
// opens a modal box would keep a sender waiting until the box is closed.

// A click on the button `id` of `dialog`. A player cannot click a disabled or hidden button,
// so that fails with `error` set.
bool ClickButton(HWND dialog, int id, std::string& error);
// lParam: for SC_KEYMENU the character typed with Alt (a space opens the system menu).
bool PostSysCommand(HWND window, UINT command, LPARAM lParam);
// A typed character; while a menu is open, the menu takes it as the mnemonic of an item.
bool PostCharacter(HWND window, char character);
bool PostClose(HWND window);
// A key press delivered to the dialog itself, so that its own keyboard handling (Esc cancels,
// Enter presses the default button) decides what it means. While a menu of the dialog is
// open, the menu takes the key from the thread's queue instead.
bool PressKey(HWND dialog, UINT virtualKey);

} // namespace e2e
