// Turns the patch library's reports into what the player sees, copies each file from the CD
// before the library patches it, and stops the library on errors.
#include "PatchCallback.h"

#include "LanguageTable.h"
#include "TextFormat.h"
#include "UpdateDlg.h"
#include "WinApp.h"

int g_callbackResult = 1;

namespace {

const char* TextParam(void* param) {
    return param ? static_cast<const char*>(param) : "";
}

void* Stop() {
    return nullptr;
}

void* ReportError(CUpdateDlg* dialog, const std::string& logText) {
    if (dialog) {
        dialog->SetLogText(logText);
        dialog->m_bError = TRUE;
    }
    return Stop();
}

void* CopyBeforePatching(CUpdateDlg* dialog, const char* name) {
    if (!dialog)
        return &g_callbackResult;
    std::string statusLine = quill::FormatText(TableText(5), {name});
    dialog->CopyFromCD(name);
    // A failed copy leaves its own status line and log text for the player.
    if (dialog->m_bError)
        return Stop();
    dialog->SetProgress(0);
    dialog->SetStatusText(statusLine);
    return &g_callbackResult;
}

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
    g_callbackResult = 1;
    CUpdateDlg* dialog = g_pUpdateDlg;
    switch (event) {
    case kPatchEventMessage:
        if (dialog)
            dialog->SetLogText(TextParam(param));
        return &g_callbackResult;
    case kPatchEventError:
        return ReportError(dialog, quill::FormatText(TableText(6), {TextParam(param)}));
    case kPatchEventProgress:
        if (dialog && param)
            dialog->SetProgress(*static_cast<const int*>(param));
        return &g_callbackResult;
    case kPatchEventPatchingFile:
        return CopyBeforePatching(dialog, TextParam(param));
    case kPatchEventFailure:
        if (dialog)
            dialog->m_bError = TRUE;
        return Stop();
    case kPatchEventInvalidPatch:
        return ReportError(dialog, TableText(4));
    case kPatchEventIdle:
        HandleOneWaitingMessage();
        return &g_callbackResult;
    default:
        return &g_callbackResult;
    }
}
