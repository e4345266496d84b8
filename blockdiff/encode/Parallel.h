#pragma once
#include <cstddef>
#include <functional>

namespace blockdiff {

// Runs task(0) to task(count - 1), each once, on up to `threads` threads (the caller's among
// them), taking the next index as each finishes; returns when all have run. Tasks must not
// throw. With one thread, or when no second thread can be started, the caller runs them
// all in order. Natively std::thread; the Windows build's runtime has none, so it starts
// its threads with CreateThread. `afterOwnTask`, when given, is called on the caller's
// thread after each task that thread ran: where progress is reported by code that need not
// be thread-safe.
void RunTasks(size_t count, unsigned threads, const std::function<void(size_t)>& task,
              const std::function<void()>& afterOwnTask = {});

// The threads worth using on this machine: its processors, at most `limit`.
unsigned UsefulThreads(unsigned limit);

} // namespace blockdiff
