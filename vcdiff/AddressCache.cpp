#include "AddressCache.h"

namespace vcdiff {

void AddressCache::Reset() {
    near_.fill(0);
    same_.fill(0);
    nextNear_ = 0;
}

} // namespace vcdiff
