#pragma once
#include "AddressCache.h"

#include <cstddef>
#include <cstdint>

namespace vcdiff {

// How one COPY address is written: its mode and the value in the addresses section (a byte
// for the same-cache modes, an integer for the others), and the bytes that takes.
struct AddressChoice {
    uint8_t mode = AddressCache::kSelfMode;
    uint64_t value = 0;
    size_t cost = 0;
};

// The cheapest encoding of `address` at position `here` (both in the window's address
// space: the segment followed by the target window) given the cache's state.
AddressChoice ChooseAddress(const AddressCache& cache, uint64_t address, uint64_t here);

} // namespace vcdiff
