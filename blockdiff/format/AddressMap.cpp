#include "AddressMap.h"

#include <algorithm>

namespace blockdiff {

void AddressMap::Add(uint64_t oldStart, uint64_t newStart, uint32_t length) {
    if (length > 0) {
        entries_.push_back(
            {static_cast<uint32_t>(oldStart), static_cast<uint32_t>(newStart), length});
    }
}

void AddressMap::Seal() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.oldStart != b.oldStart ? a.oldStart < b.oldStart : a.newStart < b.newStart;
    });
}

bool AddressMap::NewOffset(uint64_t oldOffset, uint64_t& newOffset) const {
    if (oldOffset > UINT32_MAX) {
        return false;
    }
    const uint32_t at = static_cast<uint32_t>(oldOffset);
    auto after =
        std::upper_bound(entries_.begin(), entries_.end(), at,
                         [](uint32_t value, const Entry& e) { return value < e.oldStart; });
    for (size_t looked = 0; after != entries_.begin() && looked < kLookback; ++looked) {
        const Entry& entry = *--after;
        if (at - entry.oldStart < entry.length) {
            newOffset = uint64_t{entry.newStart} + (at - entry.oldStart);
            return true;
        }
    }
    return false;
}

} // namespace blockdiff
