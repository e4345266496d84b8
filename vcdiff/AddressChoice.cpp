#include "AddressChoice.h"

#include "Varint.h"

namespace vcdiff {

AddressChoice ChooseAddress(const AddressCache& cache, uint64_t address, uint64_t here) {
    const size_t slot = static_cast<size_t>(address % AddressCache::kSameSlots);
    if (cache.Same(slot) == address) {
        return {static_cast<uint8_t>(AddressCache::kFirstSameMode + slot / 256), slot % 256, 1};
    }
    AddressChoice best{AddressCache::kSelfMode, address, plumbing::VarintLength(address)};
    const auto consider = [&best](uint8_t mode, uint64_t value) {
        const size_t cost = plumbing::VarintLength(value);
        if (cost < best.cost) {
            best = {mode, value, cost};
        }
    };
    consider(AddressCache::kHereMode, here - address);
    for (uint8_t i = 0; i < AddressCache::kNearSize; ++i) {
        const uint64_t near = cache.Near(i);
        if (address >= near) {
            consider(static_cast<uint8_t>(AddressCache::kFirstNearMode + i), address - near);
        }
    }
    return best;
}

} // namespace vcdiff
