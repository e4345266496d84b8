#include "ReferenceCollector.h"

#include <algorithm>

namespace x86image {

namespace {

void SortApart(std::vector<uint32_t>& fields) {
    std::sort(fields.begin(), fields.end());
    size_t kept = 0;
    for (uint32_t field : fields) {
        if (kept == 0 || field - fields[kept - 1] >= ReferenceCollector::kFieldBytes) {
            fields[kept++] = field;
        }
    }
    fields.resize(kept);
}

// Removes from `fields` every one that overlaps a field of `stronger` (both sorted apart).
void DropOverlapping(std::vector<uint32_t>& fields, const std::vector<uint32_t>& stronger) {
    constexpr uint64_t width = ReferenceCollector::kFieldBytes;
    size_t next = 0;
    size_t kept = 0;
    for (uint32_t field : fields) {
        while (next < stronger.size() && uint64_t{stronger[next]} + width <= field) {
            ++next;
        }
        const bool overlaps = next < stronger.size() && stronger[next] < uint64_t{field} + width;
        if (!overlaps) {
            fields[kept++] = field;
        }
    }
    fields.resize(kept);
}

} // namespace

ReferenceCollector::ReferenceCollector(uint64_t fileSize) : fileSize_(fileSize) {}

bool ReferenceCollector::Add(std::vector<uint32_t>& list, uint64_t fileOffset) {
    if (full_) {
        return false;
    }
    if (fileOffset > fileSize_ || kFieldBytes > fileSize_ - fileOffset || fileOffset > UINT32_MAX) {
        return true;
    }
    if (Room() == 0) {
        full_ = true;
        whyFull_ = "more address fields than the cap";
        return false;
    }
    list.push_back(static_cast<uint32_t>(fileOffset));
    return true;
}

size_t ReferenceCollector::Room() const {
    const size_t listed = absolute_.size() + relative_.size() + pcRelative_.size();
    return full_ || listed >= kMaxReferences ? 0 : kMaxReferences - listed;
}

bool ReferenceCollector::Walk(uint64_t entries) {
    if (full_) {
        return false;
    }
    if (entries > kMaxTableEntries - walked_) {
        full_ = true;
        whyFull_ = "more table entries than the cap";
        return false;
    }
    walked_ += entries;
    return true;
}

void ReferenceCollector::Finish(ImageReferences& out) {
    SortApart(absolute_);
    SortApart(relative_);
    SortApart(pcRelative_);
    DropOverlapping(relative_, absolute_);
    DropOverlapping(pcRelative_, absolute_);
    DropOverlapping(pcRelative_, relative_);
    out.absolute.swap(absolute_);
    out.relativeToBase.swap(relative_);
    out.pcRelative.swap(pcRelative_);
}

} // namespace x86image
