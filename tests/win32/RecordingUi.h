#pragma once
#include "RunState.h"
#include "UpdateUi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// The main dialog without a window: what the workflow shows or asks for is recorded instead.
// Every message box is answered with OK; the registry takes every value but one.
class RecordingUi : public UpdateUi {
public:
    void SetStatusText(std::string text) override { statuses.push_back(std::move(text)); }
    void SetProgress(int position) override { positions.push_back(position); }
    void SetLogText(std::string text) override { logs.push_back(std::move(text)); }
    void SetProgressRange(int low, int high) override { ranges.emplace_back(low, high); }

    int ShowMessageBox(const std::string& text, UINT) override {
        boxes.push_back(text);
        return IDOK;
    }
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void EnableButton(bool enabled) override { buttonEnabled = enabled; }
    void SetButtonText(const std::string& text) override { buttonText = text; }
    void RequestClose() override { ++closeRequests; }
    void CloseDialog(int result) override { closedWith.push_back(result); }

    bool WriteProgramPath(const std::string& path) override {
        writes.push_back(path);
        return path != refusedWrite;
    }
    bool ReadOriginalProgramPath(std::string& path) override {
        path = keptOriginal;
        return !keptOriginal.empty();
    }
    bool WriteOriginalProgramPath(const std::string& path) override {
        keptOriginal = path;
        return true;
    }
    void ForgetOriginalProgramPath() override { keptOriginal.clear(); }
    // The workflow tests run without the patch library; none of them may reach it.
    void ApplyPatchFile(std::string fileName) override {
        ADD_FAILURE() << "the patch library was called for " << fileName;
    }

    std::vector<std::string> statuses;
    std::vector<int> positions;
    std::vector<std::string> logs;
    std::vector<std::pair<int, int>> ranges;
    std::vector<std::string> boxes;
    std::vector<std::string> captions;
    bool buttonEnabled = true;
    std::string buttonText;
    int closeRequests = 0;
    std::vector<int> closedWith;
    std::string refusedWrite; // the one value the registry does not take
    std::vector<std::string> writes;
    std::string keptOriginal; // the updater's own registry value, empty when there is none
};

// The run's state as the dialog holds it, for workflow objects made without a dialog.
struct RunValues {
    BOOL error = FALSE;
    std::string fmvPath;
    std::string programPath;
    std::string updateDir;
    std::string savedProgramPath;
    std::FILE* updateMap = nullptr;

    RunState State() {
        return {error, fmvPath, programPath, updateDir, savedProgramPath, updateMap};
    }
};
