#include "ReferenceCollector.h"

#include <algorithm>

namespace x86image {

namespace {

constexpr unsigned kRadixBits = 11;
constexpr uint32_t kRadixMask = (1u << kRadixBits) - 1;

constexpr uint64_t kFieldWork = ReferenceCollector::kFieldBytes;

// Sorts by radix, kRadixBits a pass, each field moved a piece of the pacer's work: a
// comparison sort of a large library's quarter million fields would take one step of 10 to
// 20 ms. Costs a second list while it runs. False when the pacer stopped the parse.
bool RadixSort(std::vector<uint32_t>& fields, ParsePacer& pacer) {
    if (std::is_sorted(fields.begin(), fields.end())) {
        return true;
    }
    std::vector<uint32_t> sorted(fields.size());
    for (unsigned shift = 0; shift < 32; shift += kRadixBits) {
        std::vector<size_t> starts(kRadixMask + 2, 0);
        for (uint32_t field : fields) {
            ++starts[((field >> shift) & kRadixMask) + 1];
        }
        for (size_t digit = 1; digit < starts.size(); ++digit) {
            starts[digit] += starts[digit - 1];
        }
        for (uint32_t field : fields) {
            sorted[starts[(field >> shift) & kRadixMask]++] = field;
            if (!pacer.Advance(kFieldWork)) {
                return false;
            }
        }
        fields.swap(sorted);
    }
    return true;
}

bool SortApart(std::vector<uint32_t>& fields, ParsePacer& pacer) {
    if (!RadixSort(fields, pacer)) {
        return false;
    }
    size_t kept = 0;
    for (uint32_t field : fields) {
        if (kept == 0 || field - fields[kept - 1] >= ReferenceCollector::kFieldBytes) {
            fields[kept++] = field;
        }
    }
    fields.resize(kept);
    return true;
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

ReferenceCollector::ReferenceCollector(uint64_t fileSize, ParsePacer& pacer)
    : fileSize_(fileSize), pacer_(pacer) {}

bool ReferenceCollector::Add(std::vector<uint32_t>& list, uint64_t fileOffset) {
    if (full_ || pacer_.stopped()) {
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
    return pacer_.Advance(kFieldWork);
}

size_t ReferenceCollector::Room() const {
    const size_t listed = absolute_.size() + relative_.size() + pcRelative_.size();
    return full_ || listed >= kMaxReferences ? 0 : kMaxReferences - listed;
}

bool ReferenceCollector::Walk(uint64_t entries) {
    if (full_ || pacer_.stopped()) {
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

bool ReferenceCollector::Finish(ImageReferences& out) {
    if (!SortApart(absolute_, pacer_) || !SortApart(relative_, pacer_) ||
        !SortApart(pcRelative_, pacer_)) {
        return false;
    }
    DropOverlapping(relative_, absolute_);
    DropOverlapping(pcRelative_, absolute_);
    DropOverlapping(pcRelative_, relative_);
    out.absolute.swap(absolute_);
    out.relativeToBase.swap(relative_);
    out.pcRelative.swap(pcRelative_);
    return true;
}

} // namespace x86image
