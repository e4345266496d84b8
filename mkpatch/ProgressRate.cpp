#include "ProgressRate.h"

#include <cstdio>

namespace mkpatch {

// Below this a rate is mostly the noise of the first read.
constexpr double kShortestMeasure = 0.2;

std::string RateAndTimeLeft(uint64_t done, uint64_t total, double seconds) {
    if (seconds < kShortestMeasure || done == 0)
        return "";
    const double rate = static_cast<double>(done) / seconds;
    const uint64_t left = done < total ? total - done : 0;
    const auto secondsLeft = static_cast<uint64_t>(static_cast<double>(left) / rate + 0.5);
    char text[64];
    std::snprintf(text, sizeof text, "%.1f MB/s, %u:%02u left", rate / 1e6,
                  static_cast<unsigned>(secondsLeft / 60), static_cast<unsigned>(secondsLeft % 60));
    return text;
}

} // namespace mkpatch
