// The status display of the main dialog: status line, progress bar and log box.
#include "NormaliseText.h"
#include "UpdateDlg.h"
#include "resource.h"

#include <commctrl.h>

void CUpdateDlg::SetStatusText(std::string text) {
    if (HWND status = GetDlgItem(IDC_STATUS)) {
        NormaliseText(text);
        SetWindowTextA(status, text.c_str());
    }
}

void CUpdateDlg::SetProgress(int position) {
    if (HWND progress = GetDlgItem(IDC_PROGRESS))
        SendMessageA(progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CUpdateDlg::SetLogText(std::string text) {
    NormaliseText(text);
    if (HWND log = GetDlgItem(IDC_LOG))
        SetWindowTextA(log, text.c_str());
}

void CUpdateDlg::SetProgressRange(int low, int high) {
    if (HWND progress = GetDlgItem(IDC_PROGRESS))
        SendMessageA(progress, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
}
