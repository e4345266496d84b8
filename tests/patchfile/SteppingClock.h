#pragma once
#include "Clock.h"

namespace patchfile::testing {

// A clock that moves by a fixed step each time it is read, or not at all: a run under it
// sends the same idle events every time, whatever the machine's load.
class SteppingClock : public Clock {
public:
    explicit SteppingClock(std::chrono::microseconds step = {}) : step_(step) {}

    TimePoint Now() override {
        TimePoint now = now_;
        now_ += step_;
        return now;
    }
    void Advance(std::chrono::microseconds by) { now_ += by; }

private:
    std::chrono::microseconds step_;
    TimePoint now_{};
};

} // namespace patchfile::testing
