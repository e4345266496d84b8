#include "PatchEvents.h"

#include "LanguageTable.h"
#include "RecordingUi.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Copies nothing: the test says whether the copy fails.
class FakeCopier : public CdCopier {
public:
    FakeCopier(RecordingUi& ui, RunValues& run) : CdCopier(ui, run.State()), ui_(ui), run_(run) {}
    void CopyFromCD(std::string name) override {
        copied.push_back(name);
        ui_.SetStatusText("copying " + name);
        if (copyFails) {
            ui_.SetLogText("copy failed");
            run_.error = TRUE;
        }
    }
    bool copyFails = false;
    std::vector<std::string> copied;

private:
    RecordingUi& ui_;
    RunValues& run_;
};

int g_pumpCalls = 0;
void CountPump() {
    ++g_pumpCalls;
}

class PatchCallbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        CLanguageTable::GetInstance()->SetFile(folder_.path() + "Update.exe", "Update.ini");
        g_callbackResult = 0;
        g_pumpCalls = 0;
    }
    void TearDown() override { CLanguageTable::DeleteInstance(); }

    void* Answer(unsigned int event, void* param) {
        return AnswerPatchEvent(target_, CountPump, event, param);
    }
    void* Call(unsigned int event, const char* text) {
        return Answer(event, const_cast<char*>(text));
    }
    void* Call(unsigned int event, int value) { return Answer(event, &value); }

    TempFolder folder_;
    RecordingUi ui_;
    RunValues run_;
    FakeCopier copier_{ui_, run_};
    PatchEventTarget eventTarget_{ui_, run_.error, copier_};
    PatchEventTarget* target_ = &eventTarget_;
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
    EXPECT_FALSE(run_.error);
    EXPECT_TRUE(ui_.logs.empty());
    EXPECT_TRUE(ui_.statuses.empty());
    EXPECT_TRUE(ui_.positions.empty());
    EXPECT_EQ(g_pumpCalls, 0);
}

TEST_F(PatchCallbackTest, IdleEventHandsOneMessageToTheWindowWithOrWithoutDialog) {
    EXPECT_EQ(Call(kPatchEventIdle, nullptr), GoOn());
    EXPECT_EQ(g_pumpCalls, 1);
    target_ = nullptr;
    EXPECT_EQ(Call(kPatchEventIdle, nullptr), GoOn());
    EXPECT_EQ(g_pumpCalls, 2);
    EXPECT_FALSE(run_.error);
    EXPECT_TRUE(ui_.logs.empty());
}

TEST_F(PatchCallbackTest, MessagesReplaceTheLog) {
    EXPECT_EQ(Call(kPatchEventMessage, "first"), GoOn());
    EXPECT_EQ(Call(kPatchEventMessage, "second 100%s"), GoOn());
    EXPECT_EQ(ui_.logs, (std::vector<std::string>{"first", "second 100%s"}));
    EXPECT_FALSE(run_.error);
}

TEST_F(PatchCallbackTest, ErrorIsLoggedAndStops) {
    EXPECT_EQ(Call(kPatchEventError, "disk full"), nullptr);
    EXPECT_EQ(ui_.logs, std::vector<std::string>{"Internal Error: disk full"});
    EXPECT_TRUE(run_.error);
}

TEST_F(PatchCallbackTest, ProgressIsPassedOnUnchanged) {
    for (int position : {0, 0x4000, 0x8000, -1, 0x12345678})
        EXPECT_EQ(Call(kPatchEventProgress, position), GoOn());
    EXPECT_EQ(ui_.positions, (std::vector<int>{0, 0x4000, 0x8000, -1, 0x12345678}));
}

TEST_F(PatchCallbackTest, FileIsCopiedThenAnnounced) {
    EXPECT_EQ(Call(kPatchEventPatchingFile, "data\\x.xarc"), GoOn());
    EXPECT_EQ(copier_.copied, std::vector<std::string>{"data\\x.xarc"});
    EXPECT_EQ(ui_.statuses,
              (std::vector<std::string>{"copying data\\x.xarc", "Patching file: data\\x.xarc"}));
    EXPECT_EQ(ui_.positions, std::vector<int>{0});
    EXPECT_FALSE(run_.error);
}

TEST_F(PatchCallbackTest, FailedCopyStopsAndLeavesItsOwnTexts) {
    copier_.copyFails = true;
    EXPECT_EQ(Call(kPatchEventPatchingFile, "a.bin"), nullptr);
    EXPECT_EQ(ui_.statuses, std::vector<std::string>{"copying a.bin"});
    EXPECT_EQ(ui_.logs, std::vector<std::string>{"copy failed"});
    EXPECT_TRUE(ui_.positions.empty());
}

TEST_F(PatchCallbackTest, FailureWithoutTextStopsAndLeavesTheLog) {
    EXPECT_EQ(Call(kPatchEventFailure, "ignored"), nullptr);
    EXPECT_TRUE(run_.error);
    EXPECT_TRUE(ui_.logs.empty());
}

TEST_F(PatchCallbackTest, InvalidPatchReplacesEarlierMessages) {
    Call(kPatchEventMessage, "Patching game.exe");
    EXPECT_EQ(Call(kPatchEventInvalidPatch, "ignored"), nullptr);
    EXPECT_EQ(ui_.logs.back(), "Invalid patch file!");
    EXPECT_TRUE(run_.error);
}

TEST_F(PatchCallbackTest, OverriddenTextsAreUsed) {
    folder_.WriteFile("Update.ini", "[Language]\r\n006=Fault: %s!\r\n004=Bad patch\r\n");
    CLanguageTable::GetInstance()->SetFile(folder_.path() + "Update.exe", "Update.ini");
    Call(kPatchEventError, "x");
    Call(kPatchEventInvalidPatch, nullptr);
    EXPECT_EQ(ui_.logs, (std::vector<std::string>{"Fault: x!", "Bad patch"}));
}

TEST_F(PatchCallbackTest, MissingParametersAreHarmless) {
    EXPECT_EQ(Answer(kPatchEventMessage, nullptr), GoOn());
    EXPECT_EQ(Answer(kPatchEventProgress, nullptr), GoOn());
    EXPECT_EQ(Answer(kPatchEventError, nullptr), nullptr);
    EXPECT_EQ(ui_.logs, (std::vector<std::string>{"", "Internal Error: "}));
    EXPECT_TRUE(ui_.positions.empty());
}

struct NoDialogCase {
    unsigned int event;
    bool stops;
};

class NoDialogTest : public PatchCallbackTest,
                     public ::testing::WithParamInterface<NoDialogCase> {};

TEST_P(NoDialogTest, AnswersAsUsualAndTouchesNothing) {
    target_ = nullptr;
    int position = 0x8000;
    void* param = GetParam().event == kPatchEventProgress ? static_cast<void*>(&position)
                                                          : const_cast<char*>("text");
    void* answer = Answer(GetParam().event, param);
    EXPECT_EQ(answer, GetParam().stops ? nullptr : GoOn());
    EXPECT_FALSE(run_.error);
    EXPECT_TRUE(ui_.logs.empty());
    EXPECT_TRUE(ui_.statuses.empty());
    EXPECT_TRUE(ui_.positions.empty());
    EXPECT_TRUE(copier_.copied.empty());
}

INSTANTIATE_TEST_SUITE_P(Events, NoDialogTest,
                         ::testing::Values(NoDialogCase{0, false}, NoDialogCase{3, false},
                                           NoDialogCase{4, true}, NoDialogCase{5, false},
                                           NoDialogCase{7, false}, NoDialogCase{13, true},
                                           NoDialogCase{14, true}, NoDialogCase{22, false}));

} // namespace
