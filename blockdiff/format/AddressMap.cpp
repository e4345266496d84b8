#include "AddressMap.h"

#include <algorithm>

namespace blockdiff {

void AddressMap::Add(uint64_t oldStart, uint64_t newStart, uint32_t length) {
    if (length > 0) {
        entries_.push_back(
            {static_cast<uint32_t>(oldStart), static_cast<uint32_t>(newStart), length, 0});
    }
}

void AddressMap::Seal() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.oldStart != b.oldStart ? a.oldStart < b.oldStart : a.newStart < b.newStart;
    });
    SetReaches();
    bucketStarts_.clear();
    if (entries_.empty()) {
        return;
    }
    // Buckets no more than the covers, and no more than 2^32 bytes in all.
    const uint64_t span = uint64_t{entries_.back().oldStart} + 1;
    bucketShift_ = 0;
    while ((span >> bucketShift_) > entries_.size()) {
        ++bucketShift_;
    }
    const size_t buckets = static_cast<size_t>(((span - 1) >> bucketShift_) + 1);
    bucketStarts_.assign(buckets + 1, static_cast<uint32_t>(entries_.size()));
    for (size_t i = entries_.size(); i-- > 0;) {
        bucketStarts_[entries_[i].oldStart >> bucketShift_] = static_cast<uint32_t>(i);
    }
    // An empty bucket starts where the next one does.
    for (size_t b = buckets; b-- > 0;) {
        bucketStarts_[b] = std::min(bucketStarts_[b], bucketStarts_[b + 1]);
    }
}

void AddressMap::SetReaches() {
    for (size_t i = 0; i < entries_.size(); ++i) {
        uint64_t reach = 0;
        for (size_t j = i + 1 - std::min(i + 1, kLookback); j <= i; ++j) {
            reach = std::max(reach, uint64_t{entries_[j].oldStart} + entries_[j].length);
        }
        entries_[i].reach = static_cast<uint32_t>(std::min<uint64_t>(reach, UINT32_MAX));
    }
}

size_t AddressMap::FirstAfter(uint32_t offset) const {
    const uint64_t bucket = offset >> bucketShift_;
    if (bucket + 1 >= bucketStarts_.size()) {
        return entries_.size();
    }
    const auto begin = entries_.begin() + bucketStarts_[bucket];
    const auto end = entries_.begin() + bucketStarts_[bucket + 1];
    return static_cast<size_t>(
        std::upper_bound(begin, end, offset,
                         [](uint32_t value, const Entry& e) { return value < e.oldStart; }) -
        entries_.begin());
}

bool AddressMap::NewOffset(uint64_t oldOffset, uint64_t& newOffset) const {
    if (oldOffset > UINT32_MAX) {
        return false;
    }
    const uint32_t at = static_cast<uint32_t>(oldOffset);
    size_t after = FirstAfter(at);
    if (after > 0 && at >= entries_[after - 1].reach && entries_[after - 1].reach != UINT32_MAX) {
        return false;
    }
    for (size_t looked = 0; after > 0 && looked < kLookback; ++looked) {
        const Entry& entry = entries_[--after];
        if (at - entry.oldStart < entry.length) {
            newOffset = uint64_t{entry.newStart} + (at - entry.oldStart);
            return true;
        }
    }
    return false;
}

} // namespace blockdiff
