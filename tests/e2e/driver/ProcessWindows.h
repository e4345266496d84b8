#pragma once
#include <windows.h>

#include <vector>

namespace e2e {

// The kinds of top-level window a scenario waits for. Dialogs and message boxes are both of
// the dialog class #32770; an open menu is a window of the class #32768.
enum class WindowKind { Dialog, MessageBox, PopupMenu };

// Top-level windows of one process, in the system's z-order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

bool IsDialogClass(HWND window);
bool IsPopupMenu(HWND window);
// Wine's MessageBox marks its window with a property; a dialog of the program's own never has it.
bool IsMessageBox(HWND window);
// A window that EndDialog has hidden is about to be destroyed: hidden counts as gone.
bool IsShown(HWND window);

// Only meaningful for a dialog-class or menu window.
WindowKind KindOf(HWND window);

// The first shown top-level window of that kind of the process, other than those in `skip`;
// null when there is none.
HWND FindShownWindow(DWORD processId, WindowKind kind, const std::vector<HWND>& skip);

} // namespace e2e
