#include "UpdateDlg.h"

#include "AboutDlg.h"
#include "LanguageTable.h"
#include "MessageBox.h"
#include "resource.h"

#include <commctrl.h>

CUpdateDlg* g_pUpdateDlg = nullptr;

namespace {

std::string ModulePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

void ShowTableAlert(const char* message) {
    AfxMessageBox(message, MB_OK);
}

} // namespace

CUpdateDlg::CUpdateDlg(CDialog* pParent)
    : CDialog(IDD_UPDATE_DIALOG, pParent),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

BOOL CUpdateDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutItemToSystemMenu();
    SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    std::string modulePath = ModulePath();
    CLanguageTable::s_showAlert = ShowTableAlert;
    CLanguageTable* table = CLanguageTable::GetInstance();
    if (table)
        table->SetFile(modulePath, "Update.ini");
    m_strUpdateDir = modulePath.substr(0, modulePath.rfind('\\'));
    g_pUpdateDlg = this;

    SetProgressRange(0, kPatchProgressRange);
    SetStatusText(TableText(1));
    SetLogText(TableText(2));
    SetProgress(0);
    SetButtonText(TableText(17));
    return m_startupChecks.Run();
}

// The About item comes straight from the program's resources: the string table is not
// loaded yet, and an override file does not change the menu.
void CUpdateDlg::AddAboutItemToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(GetSafeHwnd(), FALSE);
    if (!systemMenu)
        return;
    char about[256];
    int length = LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about);
    if (length <= 0)
        return;
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
}

void CUpdateDlg::OnSysCommand(UINT nID, LPARAM) {
    // The system keeps the low four bits of a command for itself.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        Default();
    }
}

void CUpdateDlg::OnPaint() {
    if (IsIconic(GetSafeHwnd()))
        PaintMinimisedIcon();
    else
        Default();
}

void CUpdateDlg::PaintMinimisedIcon() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(GetSafeHwnd(), &paint);
    SendMessageA(GetSafeHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(GetSafeHwnd(), &client);
    int x = (client.right - client.left - cxIcon + 1) / 2;
    int y = (client.bottom - client.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(GetSafeHwnd(), &paint);
}

HCURSOR CUpdateDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

BOOL CUpdateDlg::DestroyWindow() {
    CLanguageTable::DeleteInstance();
    return CDialog::DestroyWindow();
}
