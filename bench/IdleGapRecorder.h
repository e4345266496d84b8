#pragma once
#include "EventReporter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// The longest stretch the caller's window would wait for the next idle event, in wall time
// and in this thread's processor time (which leaves out time the machine gave to other
// processes, but also time spent waiting for the disk).
struct IdleGap {
    double wallMs = 0;
    double cpuMs = 0;
    double endedAtMs = 0; // CLOCK_MONOTONIC, to find the gap in a profile (perf -k)
    std::string where;    // the file being patched and its progress when the gap ended
};

// An event sink that timestamps every idle event and keeps the longest gaps. The start of
// the apply and its end count as edges of a gap too: the window waits then as well.
class IdleGapRecorder : public patchfile::EventSink {
public:
    IdleGapRecorder();
    bool OnEvent(uint32_t event, const void* parameter) override;
    // Closes the last gap, at the moment the apply call returned.
    void Finish();

    unsigned long idleEvents() const { return idleEvents_; }
    unsigned long gapsOver(double ms) const;
    const IdleGap& longestWall() const { return longestWall_; }
    const IdleGap& longestCpu() const { return longestCpu_; }
    double totalWallMs() const { return lastWall_ - startWall_; }

private:
    void CloseGap();

    double startWall_;
    double lastWall_;
    double lastCpu_;
    unsigned long idleEvents_ = 0;
    std::vector<double> wallGaps_;
    std::string file_;
    uint32_t progress_ = 0;
    IdleGap longestWall_;
    IdleGap longestCpu_;
};

} // namespace bench
