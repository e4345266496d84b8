#include "UpdateApp.h"

#include "UpdateDlg.h"

#include <commctrl.h>

CUpdateApp theApp;

BOOL CUpdateApp::InitInstance() {
    // The main dialog holds a progress bar, whose window class the common controls register.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    CUpdateDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of our own: the program ends with the dialog.
    return FALSE;
}
