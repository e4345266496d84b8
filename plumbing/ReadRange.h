#pragma once
#include "Source.h"

#include <cstddef>
#include <cstdint>

namespace plumbing {

// Reads `length` bytes at `offset` into `out`, in pieces that the source can take.
bool ReadRange(Source& source, uint64_t offset, uint8_t* out, size_t length);

} // namespace plumbing
