#include "Dialog.h"

#include "WinApp.h"

CDialog::CDialog(UINT templateId, CDialog* parent) : m_templateId(templateId), m_pParent(parent) {}

CDialog::~CDialog() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

HWND CDialog::GetDlgItem(int id) const {
    return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr;
}

HWND CDialog::FindOwner() const {
    if (m_pParent)
        return m_pParent->GetSafeHwnd();
    CWinApp* app = AfxGetApp();
    if (app && app->GetMainWnd() && app->GetMainWnd() != this)
        return app->GetMainWnd()->GetSafeHwnd();
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    m_bEnded = false;
    m_nResult = -1;
    m_hOwner = FindOwner();
    // The owner stays disabled while the dialog runs, as with any modal window.
    m_bOwnerDisabled = m_hOwner && IsWindowEnabled(m_hOwner);
    if (m_bOwnerDisabled)
        EnableWindow(m_hOwner, FALSE);

    HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId),
                                   m_hOwner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd) {
        if (!m_bEnded) {
            if (!IsWindowVisible(hwnd))
                ShowWindow(hwnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
        DestroyWindow();
    }
    ReleaseOwner();
    return m_nResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_bEnded) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave WM_QUIT for whoever runs the loop outside this dialog.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!IsDialogMessageA(m_hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(INT_PTR result) {
    m_nResult = result;
    m_bEnded = true;
    // Give activation back to the owner before the window goes, so it comes to the front.
    ReleaseOwner();
    if (m_hWnd)
        ShowWindow(m_hWnd, SW_HIDE);
}

void CDialog::ReleaseOwner() {
    if (m_bOwnerDisabled) {
        EnableWindow(m_hOwner, TRUE);
        m_bOwnerDisabled = false;
    }
}

BOOL CDialog::DestroyWindow() {
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    return hwnd ? ::DestroyWindow(hwnd) : FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog || dialog->m_hWnd != hwnd)
        return FALSE;
    return dialog->Dispatch(message, wParam, lParam);
}

// Runs one handler; returns FALSE when it asked for the standard handling. Handlers may
// nest (a handler that opens a modal box sees more messages), so the flag is saved around.
template <typename Handler> INT_PTR CDialog::RunHandler(Handler handler) {
    bool outer = m_bDefault;
    m_bDefault = false;
    INT_PTR result = handler();
    bool wantsDefault = m_bDefault;
    m_bDefault = outer;
    return wantsDefault ? FALSE : result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        return RunHandler([&] {
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return TRUE;
        });
    case WM_PAINT:
        return RunHandler([&] {
            OnPaint();
            return TRUE;
        });
    case WM_QUERYDRAGICON:
        // One of the messages whose dialog-procedure result is the answer itself.
        return RunHandler([&] { return reinterpret_cast<INT_PTR>(OnQueryDragIcon()); });
    default:
        return FALSE;
    }
}
