#pragma once
#include <windows.h>

class CDialog;

// The application object: one per program, constructed statically. The entry point hands it
// control through InitInstance; the program ends when InitInstance returns.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }

    // The window that owns the program's message boxes and dialogs without a parent.
    CDialog* GetMainWnd() const { return m_pMainWnd; }

    CDialog* m_pMainWnd = nullptr;
};

// The one application object. The program has one thread, so it is also the thread object.
CWinApp* AfxGetApp();
inline CWinApp* AfxGetThread() {
    return AfxGetApp();
}
