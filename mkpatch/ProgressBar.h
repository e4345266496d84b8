#pragma once
#include "PatchBuilder.h"

#include <chrono>
#include <functional>
#include <string>

namespace mkpatch {

// Shows the builder's work: on a terminal a bar redrawn in place with the rate and the time
// left, at each new percent and at least once a second while progress is reported;
// elsewhere one line per file; nothing when quiet.
class ProgressBar : public patchfile::BuildObserver {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    ProgressBar(bool terminal, bool quiet, Clock clock = std::chrono::steady_clock::now)
        : terminal_(terminal), quiet_(quiet), clock_(std::move(clock)) {}
    void OnEntry(const patchfile::PatchEntry& entry, size_t index, size_t count) override;
    bool OnProgress(uint64_t done, uint64_t total) override;
    // Ends the bar's line before anything else is printed.
    void Finish();

private:
    void Draw(unsigned percent, const std::string& rate);
    double SecondsSince(std::chrono::steady_clock::time_point start) const;

    bool terminal_;
    bool quiet_;
    Clock clock_;
    std::string label_;
    std::chrono::steady_clock::time_point entryStart_;
    std::chrono::steady_clock::time_point lastDraw_;
    int lastPercent_ = -1;
    bool drawn_ = false;
};

} // namespace mkpatch
