#pragma once
#include "UpdateDlg.h"

#include <string>
#include <utility>
#include <vector>

// The main dialog without a window: what the workflow shows is recorded instead.
class RecordingDialog : public CUpdateDlg {
public:
    void SetStatusText(std::string text) override { statuses.push_back(std::move(text)); }
    void SetProgress(int position) override { positions.push_back(position); }
    void SetLogText(std::string text) override { logs.push_back(std::move(text)); }
    void SetProgressRange(int low, int high) override { ranges.emplace_back(low, high); }

    std::vector<std::string> statuses;
    std::vector<int> positions;
    std::vector<std::string> logs;
    std::vector<std::pair<int, int>> ranges;
};
