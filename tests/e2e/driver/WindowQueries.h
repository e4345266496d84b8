#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Reads that work across processes. Each message is sent with a time limit, so a program that
// hangs makes a query fail instead of hanging the driver.

// A window's text: a caption, a control's caption or an edit's whole content.
bool ReadText(HWND window, std::string& text);

struct ProgressState {
    int low = 0;
    int high = 0;
    int position = 0;
};
bool ReadProgress(HWND progressBar, ProgressState& state);

struct ControlInfo {
    int id = 0;
    std::string className;
    std::string text;
    bool visible = false;
    bool enabled = false;
};
// The direct children of a window, in z-order (for a dialog, the order of its template).
std::vector<ControlInfo> ReadControls(HWND parent);

// Whether the window's thread answers a message within `timeoutMs`; `elapsedMs` the round trip.
bool ProbeResponsive(HWND window, DWORD timeoutMs, double& elapsedMs);

} // namespace e2e
