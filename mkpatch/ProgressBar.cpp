#include "ProgressBar.h"

#include "ProgressRate.h"

#include <cstdio>

namespace mkpatch {
void ProgressBar::OnEntry(const patchfile::PatchEntry& entry, size_t index, size_t count) {
    label_ = std::to_string(index + 1) + "/" + std::to_string(count) + " " +
             patchfile::EntryKindName(entry.kind) + " " + entry.name;
    lastPercent_ = -1;
    entryStart_ = clock_();
    if (quiet_)
        return;
    if (terminal_)
        Draw(0, "");
    else
        std::fprintf(stderr, "%s\n", label_.c_str());
}

bool ProgressBar::OnProgress(uint64_t done, uint64_t total) {
    if (quiet_ || !terminal_)
        return true;
    unsigned percent = total == 0 ? 100 : static_cast<unsigned>(done * 100.0 / total);
    if (static_cast<int>(percent) != lastPercent_ || SecondsSince(lastDraw_) >= 1.0)
        Draw(percent, RateAndTimeLeft(done, total, SecondsSince(entryStart_)));
    return true;
}

double ProgressBar::SecondsSince(std::chrono::steady_clock::time_point start) const {
    return std::chrono::duration<double>(clock_() - start).count();
}

void ProgressBar::Draw(unsigned percent, const std::string& rate) {
    constexpr unsigned kWidth = 30;
    lastPercent_ = static_cast<int>(percent);
    std::string bar(kWidth * (percent > 100 ? 100 : percent) / 100, '#');
    bar.resize(kWidth, '-');
    // Clear to the end of the line: the previous label may have been longer.
    std::fprintf(stderr, "\r[%s] %3u%%  %s%s%s\x1b[K", bar.c_str(), percent, rate.c_str(),
                 rate.empty() ? "" : "  ", label_.c_str());
    std::fflush(stderr);
    lastDraw_ = clock_();
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

} // namespace mkpatch
