#pragma once
#include "InstructionEncoder.h"
#include "SegmentChoice.h"
#include "Sink.h"

#include <cstdint>

namespace vcdiff {

struct WindowLayout {
    bool hasSegment = false;
    Segment segment;
    uint64_t targetLength = 0;
    bool hasChecksum = false;
    uint32_t checksum = 0;
};

// Writes one window: its header, then the data, instructions and addresses sections.
// False when the sink refuses.
bool WriteWindow(plumbing::Sink& sink, const WindowLayout& layout,
                 const InstructionEncoder& sections);

// Writes the file header: magic, version 0, no indicator bits.
bool WriteFileHeader(plumbing::Sink& sink);

} // namespace vcdiff
