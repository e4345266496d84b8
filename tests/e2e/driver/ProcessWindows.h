#pragma once
#include <windows.h>

#include <vector>

namespace e2e {

// The kinds of top-level window a scenario waits for. Both are of the dialog class #32770.
enum class WindowKind { Dialog, MessageBox };

// Top-level windows of one process, in the system's z-order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

bool IsDialogClass(HWND window);
// Wine's MessageBox marks its window with a property; a dialog of the program's own never has it.
bool IsMessageBox(HWND window);
// A window that EndDialog has hidden is about to be destroyed: hidden counts as gone.
bool IsShown(HWND window);

// The first shown top-level window of that kind of the process, other than those in `skip`;
// null when there is none.
HWND FindShownWindow(DWORD processId, WindowKind kind, const std::vector<HWND>& skip);

} // namespace e2e
