#pragma once
#include "DecodeStatus.h"

#include <cstddef>
#include <cstdint>

namespace vcdiff {

// What a window may refer to and how large it may be, as the decoder stands when the
// window starts.
struct WindowContext {
    bool hasSource = false;
    uint64_t sourceSize = 0;
    // Bytes of target decoded in earlier windows, and whether they can be read back.
    bool canReadDecoded = false;
    uint64_t decodedSize = 0;
    uint64_t maxTargetWindow = 0;
    uint64_t maxDeltaWindow = 0;
};

enum class SegmentKind { None, Source, DecodedTarget };

struct WindowHeader {
    SegmentKind segment = SegmentKind::None;
    uint64_t segmentLength = 0;
    uint64_t segmentPosition = 0;
    uint64_t targetLength = 0;
    uint64_t dataLength = 0;
    uint64_t instructionsLength = 0;
    uint64_t addressesLength = 0;
    bool hasChecksum = false;
    uint32_t checksum = 0;
    // Bytes of the header itself; the three sections follow it.
    size_t length = 0;

    uint64_t sectionsLength() const { return dataLength + instructionsLength + addressesLength; }
};

// Every window header has fewer bytes than this (seven integers of at most ten bytes each,
// two indicator bytes and the checksum).
constexpr size_t kMaxWindowHeaderLength = 96;

// Parses and checks one window header starting at delta offset `base`: the segment must
// lie in what is available, sizes within the limits, the lengths must agree.
ParseStatus ParseWindowHeader(const uint8_t* data, size_t size, uint64_t base,
                              const WindowContext& context, WindowHeader& header, Failure& failure);

} // namespace vcdiff
