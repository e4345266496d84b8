#include "PatchCallback.h"

#include "PatchEvents.h"
#include "UpdateDlg.h"
#include "WinApp.h"

namespace {

// Lets the window breathe while the library holds the thread: one waiting message of the
// main window, never a loop, so the library decides how long it is kept from its work.
void HandleOneWaitingMessage() {
    CWinApp* thread = AfxGetThread();
    CDialog* mainWindow = thread ? thread->GetMainWnd() : nullptr;
    HWND hwnd = mainWindow ? mainWindow->GetSafeHwnd() : nullptr;
    if (!hwnd)
        return; // no window to keep alive
    MSG msg;
    if (PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

void* __stdcall PatchCallback(unsigned int event, void* param) {
    return AnswerPatchEvent(g_pUpdateDlg ? &g_pUpdateDlg->PatchEvents() : nullptr,
                            HandleOneWaitingMessage, event, param);
}
