#pragma once

namespace fpatch {

// fpatch's exit codes, one per way a run can end, for scripts and benchmarks.
enum ExitCode {
    kExitOk = 0,
    kExitUsage = 1,
    kExitFailed = 2,  // an error with a text (event 4)
    kExitDamaged = 3, // a damaged patch file (event 14)
    kExitFailure = 4, // a failure without a text (event 13)
    kExitStopped = 5,
};

} // namespace fpatch
