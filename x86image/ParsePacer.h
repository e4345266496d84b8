#pragma once
#include <cstdint>
#include <functional>

namespace x86image {

// Gives the caller's pause its turn after every kWorkBetweenPauses bytes of the parse's work
// (bytes read from the source, fields handed to the walks, fields listed and sorted), so that
// a stop is seen within a tick's work wherever the parse is. The first false answer stops the
// parse for good: every later read fails and every later pause says false again.
class ParsePacer {
public:
    static constexpr uint64_t kWorkBetweenPauses = 256u << 10;

    explicit ParsePacer(std::function<bool()> pause) : pause_(std::move(pause)) {}

    // Counts `work` bytes of work; false once the parse is stopped.
    bool Advance(uint64_t work) {
        done_ += work;
        if (done_ < kWorkBetweenPauses) {
            return !stopped_;
        }
        done_ = 0;
        return Pause();
    }
    bool Pause() {
        if (!stopped_ && pause_ && !pause_()) {
            stopped_ = true;
        }
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

private:
    std::function<bool()> pause_;
    uint64_t done_ = 0;
    bool stopped_ = false;
};

} // namespace x86image
