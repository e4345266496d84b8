#include "Crc32Sum.h"

#include "Crc32Folding.h"

#include <zlib.h>

namespace plumbing {

uint32_t UpdateCrc32ByTable(uint32_t crc, const void* data, size_t length) {
    const auto* bytes = static_cast<const Bytef*>(data);
    // zlib's length is an unsigned int where size_t may be larger.
    constexpr size_t kStep = 1u << 30;
    while (length > 0) {
        const size_t step = length < kStep ? length : kStep;
        crc = static_cast<uint32_t>(crc32(crc, bytes, static_cast<uInt>(step)));
        bytes += step;
        length -= step;
    }
    return crc;
}

bool Crc32Folds() {
#ifdef PLUMBING_CRC32_FOLDING
    static const bool folds = CarrylessMultiplyAvailable();
    return folds;
#else
    return false;
#endif
}

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t length) {
    const auto* bytes = static_cast<const uint8_t*>(data);
#ifdef PLUMBING_CRC32_FOLDING
    if (length >= kCrc32FoldMinimum && Crc32Folds()) {
        const size_t folded = length - length % kCrc32FoldStep;
        crc = ~FoldCrc32(~crc, bytes, folded);
        bytes += folded;
        length -= folded;
    }
#endif
    return UpdateCrc32ByTable(crc, bytes, length);
}

} // namespace plumbing
