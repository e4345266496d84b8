#pragma once
#include <windows.h>

// A modal dialog made from a resource template: just what this program needs of a dialog
// framework. DoModal creates the window, runs the dialog's own message loop until EndDialog,
// then calls the virtual DestroyWindow before it returns, so subclasses can tear down with
// the window still there.
//
// Messages reach overridable handlers: WM_INITDIALOG, the IDOK and IDCANCEL commands (Enter,
// the default button, Esc and the close box), WM_SYSCOMMAND, WM_PAINT and WM_QUERYDRAGICON.
// A handler that wants the standard behaviour of a message calls Default(); everything not
// listed gets the standard dialog behaviour.
class CDialog {
public:
    // Without a parent the dialog is owned by the application's main window, if any.
    explicit CDialog(UINT templateId, CDialog* parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog until it ends; returns the code given to EndDialog, or -1 when the
    // window could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    virtual BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const;

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnSysCommand(UINT, LPARAM) { Default(); }
    virtual void OnPaint() { Default(); }
    virtual HCURSOR OnQueryDragIcon() {
        Default();
        return nullptr;
    }
    // Inside a handler: leave the current message to the standard dialog handling.
    void Default() { m_bDefault = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    template <typename Handler> INT_PTR RunHandler(Handler handler);
    HWND FindOwner() const;
    void RunModalLoop();
    void ReleaseOwner();

    UINT m_templateId;
    CDialog* m_pParent;
    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
    bool m_bOwnerDisabled = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
    bool m_bDefault = false;
};
