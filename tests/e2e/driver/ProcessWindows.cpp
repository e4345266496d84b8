#include "ProcessWindows.h"

#include <algorithm>
#include <cstring>

namespace e2e {

namespace {

struct Enumeration {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM param) {
    auto* enumeration = reinterpret_cast<Enumeration*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == enumeration->processId)
        enumeration->windows.push_back(window);
    return TRUE;
}

// The property's value may be null, so only enumerating the names tells whether it is set.
BOOL CALLBACK FindMessageBoxProperty(HWND, LPSTR name, HANDLE, ULONG_PTR found) {
    // Names given as atoms arrive as small integers, not as strings.
    bool isString = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
    if (isString && std::strcmp(name, "WINE_MSGBOX_HELPCALLBACK") == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool HasClass(HWND window, const char* className) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

} // namespace

bool IsDialogClass(HWND window) {
    return HasClass(window, "#32770");
}

bool IsPopupMenu(HWND window) {
    return HasClass(window, "#32768");
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    Enumeration enumeration{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&enumeration));
    return enumeration.windows;
}

bool IsMessageBox(HWND window) {
    bool found = false;
    EnumPropsExA(window, FindMessageBoxProperty, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool IsShown(HWND window) {
    return IsWindow(window) && IsWindowVisible(window);
}

WindowKind KindOf(HWND window) {
    if (IsPopupMenu(window))
        return WindowKind::PopupMenu;
    return IsMessageBox(window) ? WindowKind::MessageBox : WindowKind::Dialog;
}

HWND FindShownWindow(DWORD processId, WindowKind kind, const std::vector<HWND>& skip) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (!IsShown(window) || !(IsDialogClass(window) || IsPopupMenu(window)))
            continue;
        if (std::find(skip.begin(), skip.end(), window) != skip.end())
            continue;
        if (KindOf(window) == kind)
            return window;
    }
    return nullptr;
}

} // namespace e2e
