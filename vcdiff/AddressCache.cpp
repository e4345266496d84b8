#include "AddressCache.h"

namespace vcdiff {

void AddressCache::Reset() {
    near_.fill(0);
    same_.fill(0);
    nextNear_ = 0;
}

void AddressCache::Update(uint64_t address) {
    near_[nextNear_] = address;
    nextNear_ = (nextNear_ + 1) % kNearSize;
    same_[address % kSameSlots] = address;
}

} // namespace vcdiff
