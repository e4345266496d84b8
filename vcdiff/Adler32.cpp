#include "Adler32.h"

namespace vcdiff {

namespace {
constexpr uint32_t kModulus = 65521;
// The most bytes that can be summed before the 32-bit sums must be reduced.
constexpr size_t kMaxRun = 5552;
} // namespace

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t length) {
    uint32_t a = adler & 0xFFFF;
    uint32_t b = adler >> 16;
    while (length > 0) {
        const size_t run = length < kMaxRun ? length : kMaxRun;
        for (size_t i = 0; i < run; ++i) {
            a += data[i];
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
        data += run;
        length -= run;
    }
    return (b << 16) | a;
}

} // namespace vcdiff
