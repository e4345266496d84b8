#include "PatchCallback.h"
#include "LanguageTable.h"
#include "RecordingDialog.h"
#include "TempFolder.h"
#include "WinApp.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// Copies nothing: the test says whether the copy fails.
class CallbackDialog : public RecordingDialog {
public:
    void CopyFromCD(std::string name) override {
        copied.push_back(name);
        SetStatusText("copying " + name);
        if (copyFails) {
            SetLogText("copy failed");
            m_bError = TRUE;
        }
    }
    bool copyFails = false;
    std::vector<std::string> copied;
};

class PatchCallbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        CLanguageTable::GetInstance()->SetFile(folder_.path() + "Update.exe", "Update.ini");
        dialog_.m_bError = FALSE;
        g_pUpdateDlg = &dialog_;
        g_callbackResult = 0;
    }
    void TearDown() override {
        g_pUpdateDlg = nullptr;
        CLanguageTable::DeleteInstance();
    }

    void* Call(unsigned int event, const char* text) {
        return PatchCallback(event, const_cast<char*>(text));
    }
    void* Call(unsigned int event, int value) { return PatchCallback(event, &value); }

    TempFolder folder_;
    CallbackDialog dialog_;
};

void* GoOn() {
    return &g_callbackResult;
}

TEST_F(PatchCallbackTest, IgnoredEventsChangeNothingAndGoOn) {
    for (unsigned int event : {0u, 1u, 2u, 6u, 8u, 12u, 15u, 20u, 22u, 1000u}) {
        g_callbackResult = 0;
        EXPECT_EQ(Call(event, "ignored"), GoOn()) << event;
        EXPECT_EQ(g_callbackResult, 1) << event;
    }
    EXPECT_FALSE(dialog_.m_bError);
    EXPECT_TRUE(dialog_.logs.empty());
    EXPECT_TRUE(dialog_.statuses.empty());
    EXPECT_TRUE(dialog_.positions.empty());
}

TEST_F(PatchCallbackTest, MessagesReplaceTheLog) {
    EXPECT_EQ(Call(kPatchEventMessage, "first"), GoOn());
    EXPECT_EQ(Call(kPatchEventMessage, "second 100%s"), GoOn());
    EXPECT_EQ(dialog_.logs, (std::vector<std::string>{"first", "second 100%s"}));
    EXPECT_FALSE(dialog_.m_bError);
}

TEST_F(PatchCallbackTest, ErrorIsLoggedAndStops) {
    EXPECT_EQ(Call(kPatchEventError, "disk full"), nullptr);
    EXPECT_EQ(dialog_.logs, std::vector<std::string>{"Internal Error: disk full"});
    EXPECT_TRUE(dialog_.m_bError);
}

TEST_F(PatchCallbackTest, ProgressIsPassedOnUnchanged) {
    for (int position : {0, 0x4000, 0x8000, -1, 0x12345678})
        EXPECT_EQ(Call(kPatchEventProgress, position), GoOn());
    EXPECT_EQ(dialog_.positions, (std::vector<int>{0, 0x4000, 0x8000, -1, 0x12345678}));
}

TEST_F(PatchCallbackTest, FileIsCopiedThenAnnounced) {
    EXPECT_EQ(Call(kPatchEventPatchingFile, "data\\x.xarc"), GoOn());
    EXPECT_EQ(dialog_.copied, std::vector<std::string>{"data\\x.xarc"});
    EXPECT_EQ(dialog_.statuses,
              (std::vector<std::string>{"copying data\\x.xarc", "Patching file: data\\x.xarc"}));
    EXPECT_EQ(dialog_.positions, std::vector<int>{0});
    EXPECT_FALSE(dialog_.m_bError);
}

TEST_F(PatchCallbackTest, FailedCopyStopsAndLeavesItsOwnTexts) {
    dialog_.copyFails = true;
    EXPECT_EQ(Call(kPatchEventPatchingFile, "a.bin"), nullptr);
    EXPECT_EQ(dialog_.statuses, std::vector<std::string>{"copying a.bin"});
    EXPECT_EQ(dialog_.logs, std::vector<std::string>{"copy failed"});
    EXPECT_TRUE(dialog_.positions.empty());
}

TEST_F(PatchCallbackTest, FailureWithoutTextStopsAndLeavesTheLog) {
    EXPECT_EQ(Call(kPatchEventFailure, "ignored"), nullptr);
    EXPECT_TRUE(dialog_.m_bError);
    EXPECT_TRUE(dialog_.logs.empty());
}

TEST_F(PatchCallbackTest, InvalidPatchReplacesEarlierMessages) {
    Call(kPatchEventMessage, "Patching game.exe");
    EXPECT_EQ(Call(kPatchEventInvalidPatch, "ignored"), nullptr);
    EXPECT_EQ(dialog_.logs.back(), "Invalid patch file!");
    EXPECT_TRUE(dialog_.m_bError);
}

TEST_F(PatchCallbackTest, OverriddenTextsAreUsed) {
    folder_.WriteFile("Update.ini", "[Language]\r\n006=Fault: %s!\r\n004=Bad patch\r\n");
    CLanguageTable::GetInstance()->SetFile(folder_.path() + "Update.exe", "Update.ini");
    Call(kPatchEventError, "x");
    Call(kPatchEventInvalidPatch, nullptr);
    EXPECT_EQ(dialog_.logs, (std::vector<std::string>{"Fault: x!", "Bad patch"}));
}

TEST_F(PatchCallbackTest, MissingParametersAreHarmless) {
    EXPECT_EQ(PatchCallback(kPatchEventMessage, nullptr), GoOn());
    EXPECT_EQ(PatchCallback(kPatchEventProgress, nullptr), GoOn());
    EXPECT_EQ(PatchCallback(kPatchEventError, nullptr), nullptr);
    EXPECT_EQ(dialog_.logs, (std::vector<std::string>{"", "Internal Error: "}));
    EXPECT_TRUE(dialog_.positions.empty());
}

struct NoDialogCase {
    unsigned int event;
    bool stops;
};

class NoDialogTest : public PatchCallbackTest,
                     public ::testing::WithParamInterface<NoDialogCase> {};

TEST_P(NoDialogTest, AnswersAsUsualAndTouchesNothing) {
    g_pUpdateDlg = nullptr;
    int position = 0x8000;
    void* param = GetParam().event == kPatchEventProgress ? static_cast<void*>(&position)
                                                          : const_cast<char*>("text");
    void* answer = PatchCallback(GetParam().event, param);
    EXPECT_EQ(answer, GetParam().stops ? nullptr : GoOn());
    EXPECT_FALSE(dialog_.m_bError);
    EXPECT_TRUE(dialog_.logs.empty());
    EXPECT_TRUE(dialog_.statuses.empty());
    EXPECT_TRUE(dialog_.positions.empty());
    EXPECT_TRUE(dialog_.copied.empty());
}

INSTANTIATE_TEST_SUITE_P(Events, NoDialogTest,
                         ::testing::Values(NoDialogCase{0, false}, NoDialogCase{3, false},
                                           NoDialogCase{4, true}, NoDialogCase{5, false},
                                           NoDialogCase{7, false}, NoDialogCase{13, true},
                                           NoDialogCase{14, true}, NoDialogCase{22, false}));

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

} // namespace
