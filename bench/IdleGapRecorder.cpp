#include "IdleGapRecorder.h"

#include <ctime>

namespace bench {
namespace {

double Milliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double WallNow() {
    return Milliseconds(CLOCK_MONOTONIC);
}

double CpuNow() {
    return Milliseconds(CLOCK_THREAD_CPUTIME_ID);
}

} // namespace

IdleGapRecorder::IdleGapRecorder()
    : startWall_(WallNow()), lastWall_(startWall_), lastCpu_(CpuNow()) {}

bool IdleGapRecorder::OnEvent(uint32_t event, const void* parameter) {
    if (event == patchfile::kEventFile && parameter)
        file_ = static_cast<const char*>(parameter);
    else if (event == patchfile::kEventProgress && parameter)
        progress_ = *static_cast<const uint32_t*>(parameter);
    else if (event == patchfile::kEventIdle) {
        ++idleEvents_;
        CloseGap();
    }
    return true;
}

void IdleGapRecorder::Finish() {
    CloseGap();
}

unsigned long IdleGapRecorder::gapsOver(double ms) const {
    unsigned long count = 0;
    for (double gap : wallGaps_)
        count += gap > ms;
    return count;
}

void IdleGapRecorder::CloseGap() {
    double wall = WallNow();
    double cpu = CpuNow();
    IdleGap gap{wall - lastWall_, cpu - lastCpu_, wall,
                file_ + " at progress " + std::to_string(progress_) + "/" +
                    std::to_string(patchfile::kProgressFull)};
    wallGaps_.push_back(gap.wallMs);
    if (gap.wallMs > longestWall_.wallMs)
        longestWall_ = gap;
    if (gap.cpuMs > longestCpu_.cpuMs)
        longestCpu_ = gap;
    lastWall_ = wall;
    lastCpu_ = cpu;
}

} // namespace bench
