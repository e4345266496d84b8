// bench_idle_gaps: applies a patch file in this process, as the DLL would, and prints how
// long the caller's window would have waited at most between two idle events.
#include "FileSystem.h"
#include "IdleGapRecorder.h"
#include "PatchApplier.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: bench_idle_gaps PATCH FOLDER\n", stderr);
        return 1;
    }
    bench::IdleGapRecorder recorder;
    std::unique_ptr<patchfile::FileSystem> fs = patchfile::MakeNativeFileSystem();
    patchfile::PatchApplier applier(*fs, recorder, nullptr);
    patchfile::Outcome outcome = applier.Apply(argv[1], argv[2]);
    recorder.Finish();
    if (outcome != patchfile::Outcome::Done) {
        std::fputs("bench_idle_gaps: the patch was not applied\n", stderr);
        return 2;
    }
    const bench::IdleGap& wall = recorder.longestWall();
    const bench::IdleGap& cpu = recorder.longestCpu();
    std::printf("apply_ms=%.1f idle_events=%lu gaps_over_10ms=%lu gaps_over_5ms=%lu\n",
                recorder.totalWallMs(), recorder.idleEvents(), recorder.gapsOver(10),
                recorder.gapsOver(5));
    std::printf("longest_wall_gap_ms=%.2f (cpu %.2f) where=\"%s\"\n", wall.wallMs, wall.cpuMs,
                wall.where.c_str());
    std::printf("longest_cpu_gap_ms=%.2f (wall %.2f) where=\"%s\" ended_at=%.3f\n", cpu.cpuMs,
                cpu.wallMs, cpu.where.c_str(), cpu.endedAtMs);
    return 0;
}
