#pragma once
#include "VcdiffIo.h"

#include <cstddef>
#include <cstdint>

namespace blockdiff {

// Reads `length` bytes at `offset` into `out`, in pieces that the source can take.
bool ReadRange(vcdiff::Source& source, uint64_t offset, uint8_t* out, size_t length);

} // namespace blockdiff
