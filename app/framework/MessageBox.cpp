#include "MessageBox.h"

#include "Dialog.h"
#include "WinApp.h"

std::string AfxGetAppName() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

namespace {

UINT WithDefaultIcon(UINT type) {
    if (type & MB_ICONMASK)
        return type;
    UINT buttons = type & MB_TYPEMASK;
    bool isQuestion = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
    return type | (isQuestion ? MB_ICONQUESTION : MB_ICONEXCLAMATION);
}

} // namespace

int AfxMessageBox(const std::string& text, UINT type) {
    HWND owner = nullptr;
    if (CWinApp* app = AfxGetApp(); app && app->GetMainWnd())
        owner = app->GetMainWnd()->GetSafeHwnd();
    return MessageBoxA(owner, text.c_str(), AfxGetAppName().c_str(), WithDefaultIcon(type));
}
