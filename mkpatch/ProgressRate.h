#pragma once
#include <cstdint>
#include <string>

namespace mkpatch {

// What the bar says beside the percentage: how fast the work goes (bytes of it a second, from
// its start) and how long the rest will take at that rate, as "12.5 MB/s, 1:05 left".
// Empty until there is a rate to tell, in the first instant of a file.
std::string RateAndTimeLeft(uint64_t done, uint64_t total, double seconds);

} // namespace mkpatch
