#pragma once
#include "EventReporter.h"

#include <chrono>
#include <cstdio>

namespace fpatch {

enum class Verbosity {
    Quiet,  // nothing but the error events, on stderr
    Normal, // every event but the idle one; idle events are counted
    Trace,  // every event, with the microseconds since the start
};

// Prints the library's events as the updater would receive them. Always answers go on.
class EventPrinter : public patchfile::EventSink {
public:
    explicit EventPrinter(Verbosity verbosity);
    bool OnEvent(uint32_t event, const void* parameter) override;
    unsigned long idleEvents() const { return idleEvents_; }

private:
    using Clock = std::chrono::steady_clock;

    Verbosity verbosity_;
    Clock::time_point start_;
    unsigned long idleEvents_ = 0;
};

} // namespace fpatch
