#include "RegionInput.h"

#include <algorithm>

namespace recode {

size_t RegionInput::Read(uint8_t* out, size_t max) {
    if (remaining_ == 0 || readFailed_ || stopped_)
        return 0;
    if (tick_ && !tick_()) {
        stopped_ = true;
        return 0;
    }
    size_t count = static_cast<size_t>(std::min<uint64_t>(max, remaining_));
    if (!source_.Read(offset_, out, count)) {
        readFailed_ = true;
        return 0;
    }
    offset_ += count;
    remaining_ -= count;
    return count;
}

} // namespace recode
