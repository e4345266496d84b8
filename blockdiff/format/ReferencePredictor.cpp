#include "ReferencePredictor.h"

#include "LittleEndian.h"

#include <algorithm>

namespace blockdiff {
namespace {

constexpr size_t kFieldBytes = 4;
constexpr uint8_t kCall = 0xE8;
constexpr uint8_t kJump = 0xE9;
constexpr uint8_t kTwoByteOpcode = 0x0F;
constexpr uint8_t kConditionalJumpMask = 0xF0;
constexpr uint8_t kConditionalJump = 0x80;

uint64_t SectionEnd(const x86image::Section& section) {
    return section.fileOffset + section.size;
}

// Where the displacement of the call or jump whose opcode is at `at` starts; 0 when there is
// none there.
size_t DisplacementAt(const uint8_t* bytes, size_t at, size_t limit) {
    if (bytes[at] == kCall || bytes[at] == kJump) {
        return at + 1;
    }
    if (bytes[at] == kTwoByteOpcode && at + 1 < limit &&
        (bytes[at + 1] & kConditionalJumpMask) == kConditionalJump) {
        return at + 2;
    }
    return 0;
}

} // namespace

ReferencePredictor::Layout::Layout(const x86image::ImageLayout& layout)
    : base_(layout.imageBase), byOffset_(layout.sections), byAddress_(layout.sections) {
    std::stable_sort(byOffset_.begin(), byOffset_.end(),
                     [](const auto& a, const auto& b) { return a.fileOffset < b.fileOffset; });
    std::stable_sort(byAddress_.begin(), byAddress_.end(),
                     [](const auto& a, const auto& b) { return a.address < b.address; });
}

// The section holding `offset`, or null; `runEnd` is where that section ends, or where the
// next one starts (UINT64_MAX when none does).
const x86image::Section* ReferencePredictor::Layout::Around(uint64_t offset,
                                                            uint64_t& runEnd) const {
    auto after =
        std::upper_bound(byOffset_.begin(), byOffset_.end(), offset,
                         [](uint64_t value, const auto& s) { return value < s.fileOffset; });
    runEnd = after == byOffset_.end() ? UINT64_MAX : after->fileOffset;
    if (after == byOffset_.begin()) {
        return nullptr;
    }
    const x86image::Section& section = *std::prev(after);
    if (offset - section.fileOffset >= section.size) {
        return nullptr;
    }
    runEnd = SectionEnd(section);
    return &section;
}

bool ReferencePredictor::Layout::AddressOf(uint64_t offset, uint64_t& address) const {
    uint64_t runEnd = 0;
    const x86image::Section* section = Around(offset, runEnd);
    if (!section) {
        return false;
    }
    address = section->address + (offset - section->fileOffset);
    return true;
}

bool ReferencePredictor::Layout::OffsetOf(uint64_t address, uint64_t& offset,
                                          bool executableOnly) const {
    auto after = std::upper_bound(byAddress_.begin(), byAddress_.end(), address,
                                  [](uint64_t value, const auto& s) { return value < s.address; });
    if (after == byAddress_.begin()) {
        return false;
    }
    const x86image::Section& section = *std::prev(after);
    if (address - section.address >= section.size || (executableOnly && !section.executable)) {
        return false;
    }
    offset = section.fileOffset + (address - section.address);
    return true;
}

// The lists in one, by offset, each field tagged with its kind and one overlapping the field
// before left out (at equal offsets the earlier list's): the order of the fields is then the
// same in every part of a cover, whichever list a field came from.
ReferencePredictor::ReferencePredictor(const x86image::ImageReferences& old,
                                       const x86image::ImageLayout& next, const AddressMap& map)
    : oldLayout_(old.layout), newLayout_(next), map_(map) {
    struct Cursor {
        const std::vector<uint32_t>& list;
        size_t at;
        uint32_t kind;
    };
    Cursor lists[] = {{old.absolute, 0, kAbsolute},
                      {old.relativeToBase, 0, kRelativeToBase},
                      {old.pcRelative, 0, kPcRelative}};
    fields_.reserve(old.absolute.size() + old.relativeToBase.size() + old.pcRelative.size());
    uint64_t end = 0;
    for (;;) {
        Cursor* first = nullptr;
        for (Cursor& cursor : lists) {
            if (cursor.at < cursor.list.size() &&
                (!first || cursor.list[cursor.at] < first->list[first->at])) {
                first = &cursor;
            }
        }
        if (!first) {
            break;
        }
        const uint32_t offset = first->list[first->at++];
        if (offset >= end && offset <= kOffsetMask) {
            fields_.push_back(offset | first->kind);
            end = uint64_t{offset} + kFieldBytes;
        }
    }
}

size_t ReferencePredictor::Predict(uint64_t oldStart, uint64_t newStart, uint8_t* bytes,
                                   size_t length, size_t from, size_t until, size_t scan) const {
    until = std::min(until, length);
    const size_t next =
        ScanDisplacements(oldStart, newStart, bytes, length, std::max(scan, from), until);
    PredictListed(oldStart, newStart, bytes, from, until);
    return next;
}

size_t ReferencePredictor::ScanDisplacements(uint64_t oldStart, uint64_t newStart, uint8_t* bytes,
                                             size_t length, size_t at, size_t until) const {
    while (at < until) {
        uint64_t runEnd = 0;
        const x86image::Section* section = oldLayout_.Around(oldStart + at, runEnd);
        const size_t limit = static_cast<size_t>(std::min<uint64_t>(length, runEnd - oldStart));
        if (!section || !section->executable) {
            at = std::min(until, limit);
            continue;
        }
        const size_t stop = std::min(until, limit);
        while (at < stop) {
            const size_t field = DisplacementAt(bytes, at, limit);
            bool found = false;
            if (field != 0 && field + kFieldBytes <= limit) {
                PredictDisplacement(oldStart + field, newStart + field, bytes + field, found);
            }
            at = found ? field + kFieldBytes : at + 1;
        }
    }
    return at;
}

// `found` says whether the field was taken for a displacement (its old target lies in code),
// whatever the prediction.
void ReferencePredictor::PredictDisplacement(uint64_t oldField, uint64_t newField, uint8_t* field,
                                             bool& found) const {
    const int64_t displacement =
        static_cast<int32_t>(plumbing::LoadLittleEndian(field, kFieldBytes));
    uint64_t oldAddress = 0;
    uint64_t target = 0;
    if (!oldLayout_.AddressOf(oldField, oldAddress)) {
        return;
    }
    const uint64_t oldTarget = oldAddress + kFieldBytes + static_cast<uint64_t>(displacement);
    if (!oldLayout_.OffsetOf(oldTarget, target, true)) {
        return;
    }
    found = true;
    uint64_t newAddress = 0;
    uint64_t newTarget = 0;
    if (!newLayout_.AddressOf(newField, newAddress) || !MapAddress(oldTarget, true, newTarget)) {
        return;
    }
    const int64_t predicted = static_cast<int64_t>(newTarget - (newAddress + kFieldBytes));
    if (predicted >= INT32_MIN && predicted <= INT32_MAX) {
        plumbing::StoreLittleEndian(field, static_cast<uint64_t>(predicted), kFieldBytes);
    }
}

void ReferencePredictor::PredictListed(uint64_t oldStart, uint64_t newStart, uint8_t* bytes,
                                       size_t from, size_t until) const {
    // The fields ending in (from, until]: starting at or after oldStart + from - 3.
    const uint64_t first = oldStart + (from >= kFieldBytes ? from - kFieldBytes + 1 : 0);
    auto field =
        std::lower_bound(fields_.begin(), fields_.end(), first,
                         [](uint32_t f, uint64_t value) { return (f & kOffsetMask) < value; });
    for (; field != fields_.end() && (*field & kOffsetMask) + kFieldBytes <= oldStart + until;
         ++field) {
        const size_t at = static_cast<size_t>((*field & kOffsetMask) - oldStart);
        if ((*field & kKindMask) == kPcRelative) {
            PredictPcRelative(oldStart + at, newStart + at, bytes + at);
            continue;
        }
        const bool relative = (*field & kKindMask) == kRelativeToBase;
        const uint64_t oldBase = relative ? 0 : oldLayout_.base();
        const uint64_t newBase = relative ? 0 : newLayout_.base();
        const uint64_t value = plumbing::LoadLittleEndian(bytes + at, kFieldBytes);
        uint64_t newAddress = 0;
        if (value < oldBase || !MapAddress(value - oldBase, false, newAddress) ||
            newAddress + newBase > UINT32_MAX) {
            continue;
        }
        plumbing::StoreLittleEndian(bytes + at, newAddress + newBase, kFieldBytes);
    }
}

// A field holding the distance from its own address to what it points to: the distance
// from the field's new address to where the map puts that.
void ReferencePredictor::PredictPcRelative(uint64_t oldField, uint64_t newField,
                                           uint8_t* field) const {
    const int64_t distance = static_cast<int32_t>(plumbing::LoadLittleEndian(field, kFieldBytes));
    uint64_t oldAddress = 0;
    uint64_t newAddress = 0;
    uint64_t newTarget = 0;
    if (!oldLayout_.AddressOf(oldField, oldAddress) ||
        !newLayout_.AddressOf(newField, newAddress) ||
        !MapAddress(oldAddress + static_cast<uint64_t>(distance), false, newTarget)) {
        return;
    }
    const int64_t predicted = static_cast<int64_t>(newTarget - newAddress);
    if (predicted >= INT32_MIN && predicted <= INT32_MAX) {
        plumbing::StoreLittleEndian(field, static_cast<uint64_t>(predicted), kFieldBytes);
    }
}

bool ReferencePredictor::MapAddress(uint64_t oldAddress, bool executableOnly,
                                    uint64_t& newAddress) const {
    uint64_t oldOffset = 0;
    uint64_t newOffset = 0;
    return oldLayout_.OffsetOf(oldAddress, oldOffset, executableOnly) &&
           map_.NewOffset(oldOffset, newOffset) && newLayout_.AddressOf(newOffset, newAddress);
}

} // namespace blockdiff
