#include "Clock.h"

namespace patchfile {
namespace {

class Steady : public Clock {
public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }
};

} // namespace

Clock& SteadyClock() {
    static Steady clock;
    return clock;
}

} // namespace patchfile
