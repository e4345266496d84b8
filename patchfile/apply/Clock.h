#pragma once
#include <chrono>

namespace patchfile {

// The time the engine paces its idle events by. The engine reads it through this seam, so
// that a test can drive the time itself and check the cadence exactly.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;
};

// The machine's monotonic clock.
Clock& SteadyClock();

} // namespace patchfile
