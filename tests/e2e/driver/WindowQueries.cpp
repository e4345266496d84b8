#include "WindowQueries.h"

#include <commctrl.h>

namespace e2e {

namespace {

constexpr UINT kQueryTimeoutMs = 5000;

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kQueryTimeoutMs,
                               &result) != 0;
}

} // namespace

bool ReadText(HWND window, std::string& text) {
    DWORD_PTR length = 0;
    if (!SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, length))
        return false;
    // The length may be counted in another encoding than the reply: leave room to spare.
    std::string buffer(length * 2 + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendWithTimeout(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]),
                         copied))
        return false;
    buffer.resize(copied);
    text = buffer;
    return true;
}

bool ReadProgress(HWND progressBar, ProgressState& state) {
    // PBM_GETRANGE with no structure answers one end per call; a pointer would not reach
    // another process.
    DWORD_PTR low = 0, high = 0, position = 0;
    if (!SendWithTimeout(progressBar, PBM_GETRANGE, TRUE, 0, low) ||
        !SendWithTimeout(progressBar, PBM_GETRANGE, FALSE, 0, high) ||
        !SendWithTimeout(progressBar, PBM_GETPOS, 0, 0, position))
        return false;
    state.low = static_cast<int>(low);
    state.high = static_cast<int>(high);
    state.position = static_cast<int>(position);
    return true;
}

std::vector<ControlInfo> ReadControls(HWND parent) {
    std::vector<ControlInfo> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ControlInfo info;
        info.id = GetDlgCtrlID(child);
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        info.className = className;
        ReadText(child, info.text);
        info.visible = IsWindowVisible(child) != 0;
        info.enabled = IsWindowEnabled(child) != 0;
        controls.push_back(info);
    }
    return controls;
}

bool ProbeResponsive(HWND window, DWORD timeoutMs, double& elapsedMs) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD_PTR ignored = 0;
    bool answered =
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
    QueryPerformanceCounter(&end);
    elapsedMs = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    return answered;
}

} // namespace e2e
