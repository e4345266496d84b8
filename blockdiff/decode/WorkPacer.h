#pragma once
#include "StreamCoder.h"

#include <cstddef>

namespace blockdiff {

// Calls the caller's tick after every kTickBytes of work, so that a long piece of work keeps
// the caller's window responsive. An empty tick is never called.
class WorkPacer {
public:
    static constexpr size_t kTickBytes = 256u << 10;

    explicit WorkPacer(const plumbing::Tick& tick) : tick_(tick) {}

    // Counts `bytes` of work done; false when the tick asked to stop.
    bool Advance(size_t bytes) {
        done_ += bytes;
        if (done_ < kTickBytes) {
            return true;
        }
        done_ = 0;
        return Tick();
    }
    bool Tick() { return !tick_ || tick_(); }
    const plumbing::Tick& tick() const { return tick_; }

private:
    const plumbing::Tick& tick_;
    size_t done_ = 0;
};

} // namespace blockdiff
