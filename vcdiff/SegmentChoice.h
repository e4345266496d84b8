#pragma once
#include <cstdint>

namespace vcdiff {

struct Segment {
    uint64_t position = 0;
    uint64_t length = 0;
};

// The part of the source one target window is matched against: the whole source when it
// fits in `maxLength`, otherwise `maxLength` bytes centred on where the window's bytes are
// expected in the source: the window's own position moved by `drift`, the offset between
// source and target seen at the last copy from the source.
Segment ChooseSegment(uint64_t sourceSize, uint64_t maxLength, uint64_t windowStart,
                      uint64_t windowLength, int64_t drift);

} // namespace vcdiff
