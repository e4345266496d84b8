#include "SegmentChoice.h"

namespace vcdiff {

Segment ChooseSegment(uint64_t sourceSize, uint64_t maxLength, uint64_t windowStart,
                      uint64_t windowLength, int64_t drift) {
    if (sourceSize <= maxLength) {
        return {0, sourceSize};
    }
    const uint64_t middle = windowStart + windowLength / 2;
    uint64_t centre = middle;
    if (drift < 0) {
        const uint64_t back = 0 - static_cast<uint64_t>(drift);
        centre = back < middle ? middle - back : 0;
    } else {
        centre = middle + static_cast<uint64_t>(drift);
    }
    const uint64_t half = maxLength / 2;
    uint64_t start = centre > half ? centre - half : 0;
    if (start > sourceSize - maxLength) {
        start = sourceSize - maxLength;
    }
    return {start, maxLength};
}

} // namespace vcdiff
