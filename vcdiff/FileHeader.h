#pragma once
#include "DecodeStatus.h"

#include <cstddef>
#include <cstdint>

namespace vcdiff {

struct FileHeader {
    // Bytes of application data that follow the header; the decoder skips them.
    uint64_t appHeaderLength = 0;
    // Bytes of the header itself.
    size_t length = 0;
};

// Parses the header at the start of a delta. Refuses what this decoder does not support:
// secondary compression and application-defined code tables.
ParseStatus ParseFileHeader(const uint8_t* data, size_t size, FileHeader& header, Failure& failure);

} // namespace vcdiff
