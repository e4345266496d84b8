#pragma once
#include "PatchBuilder.h"

#include <string>

namespace mkpatch {

// Shows the builder's work: on a terminal a bar redrawn in place, elsewhere one line per
// file; nothing when quiet.
class ProgressBar : public patchfile::BuildObserver {
public:
    ProgressBar(bool terminal, bool quiet) : terminal_(terminal), quiet_(quiet) {}
    void OnEntry(const patchfile::PatchEntry& entry, size_t index, size_t count) override;
    bool OnProgress(uint64_t done, uint64_t total) override;
    // Ends the bar's line before anything else is printed.
    void Finish();

private:
    void Draw(unsigned percent);

    bool terminal_;
    bool quiet_;
    std::string label_;
    int lastPercent_ = -1;
    bool drawn_ = false;
};

} // namespace mkpatch
