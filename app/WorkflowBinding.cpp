// The main dialog's side of the update workflow: its handlers and members hand the work to
// the workflow, and the window operations the workflow asks for act on the controls.
#include "GameBuild.h"
#include "GameRegistry.h"
#include "MessageBox.h"
#include "PatchCallback.h"
#include "PatchLibraryCall.h"
#include "UpdateDlg.h"

#include <utility>

void CUpdateDlg::OnOK() {
    m_updateRun.Click();
}

void CUpdateDlg::OnCancel() {
    m_updateRun.Cancel();
}

void CUpdateDlg::CopyFromCD(std::string name) {
    m_cdCopier.CopyFromCD(std::move(name));
}

std::string CUpdateDlg::GetGameBuild() {
    return ReadGameBuild(m_strFmvPath);
}

void CUpdateDlg::ApplyPatchFile(std::string fileName) {
    ApplyPatchFileWithLibrary(fileName, PatchCallback);
}

bool CUpdateDlg::WriteProgramPath(const std::string& path) {
    return WriteGameValue(kProgramValue, path);
}

bool CUpdateDlg::ReadOriginalProgramPath(std::string& path) {
    return ReadGameValue(kOriginalProgramValue, path);
}

bool CUpdateDlg::WriteOriginalProgramPath(const std::string& path) {
    return WriteGameValue(kOriginalProgramValue, path);
}

void CUpdateDlg::ForgetOriginalProgramPath() {
    DeleteGameValue(kOriginalProgramValue);
}

int CUpdateDlg::ShowMessageBox(const std::string& text, UINT type) {
    return AfxMessageBox(text, type);
}

void CUpdateDlg::SetCaption(const std::string& text) {
    SetWindowTextA(GetSafeHwnd(), text.c_str());
}

void CUpdateDlg::EnableButton(bool enabled) {
    if (HWND button = GetDlgItem(IDOK))
        EnableWindow(button, enabled ? TRUE : FALSE);
}

void CUpdateDlg::SetButtonText(const std::string& text) {
    if (HWND button = GetDlgItem(IDOK))
        SetWindowTextA(button, text.c_str());
}

void CUpdateDlg::RequestClose() {
    PostMessageA(GetSafeHwnd(), WM_CLOSE, 0, 0);
}

void CUpdateDlg::CloseDialog(int result) {
    EndDialog(result);
}
