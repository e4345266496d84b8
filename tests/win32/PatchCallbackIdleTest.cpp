// The patch library's callback as the program hands it over: its events reach the live main
// dialog, and event 21 gives the thread's main window one waiting message whether or not the
// update dialog is up.
#include "PatchCallback.h"

#include "PatchEvents.h"
#include "UpdateDlg.h"
#include "WinApp.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Event 21 needs a real main window: this dialog runs the checks from its initialisation,
// when its window exists and no message loop has touched the queue yet.
class IdleProbeDialog : public CDialog {
public:
    IdleProbeDialog() : CDialog(IDD_ABOUTBOX) {}
    int clicks = 0;
    std::vector<int> clicksAfterEachIdle;

protected:
    BOOL OnInitDialog() override {
        PatchCallback(kPatchEventIdle, nullptr); // nothing waiting yet
        clicksAfterEachIdle.push_back(clicks);
        PostMessageA(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PostMessageA(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(PatchCallback(kPatchEventIdle, nullptr), &g_callbackResult);
            clicksAfterEachIdle.push_back(clicks);
        }
        EndDialog(IDCANCEL);
        return TRUE;
    }
    void OnOK() override { ++clicks; }
};

TEST(PatchCallbackIdleTest, HandsExactlyOneWaitingMessageToTheMainWindow) {
    CWinApp app;
    IdleProbeDialog probe;
    app.m_pMainWnd = &probe;
    probe.DoModal();
    EXPECT_EQ(probe.clicksAfterEachIdle, (std::vector<int>{0, 1, 2, 2}));
}

TEST(PatchCallbackIdleTest, WithoutMainWindowDoesNothing) {
    CWinApp app;
    EXPECT_EQ(PatchCallback(kPatchEventIdle, nullptr), &g_callbackResult);
}

// A failure without text shows nothing, so the dialog needs no window for it: only its error
// flag tells that the event reached it.
TEST(PatchCallbackDialogTest, EventsReachTheLiveDialog) {
    CUpdateDlg dialog;
    dialog.m_bError = FALSE;
    g_pUpdateDlg = &dialog;
    void* answer = PatchCallback(kPatchEventFailure, nullptr);
    g_pUpdateDlg = nullptr;
    EXPECT_EQ(answer, nullptr);
    EXPECT_TRUE(dialog.m_bError);
}

} // namespace
