#include "ReferenceRewriter.h"

#include "LittleEndian.h"
#include "Rel32Finder.h"

#include <algorithm>

namespace x86image {

namespace {
constexpr size_t kFieldBytes = kRel32Bytes;
} // namespace

// The lists in one, by offset, each field tagged with its kind and one overlapping the field
// before left out (at equal offsets the earlier list's): the order of the fields is then the
// same in every part of a run, whichever list a field came from.
ReferenceRewriter::ReferenceRewriter(const ImageReferences& old, const ImageLayout& next,
                                     const MovedOffsets& moved)
    : old_(old.layout), new_(next), moved_(moved) {
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

size_t ReferenceRewriter::Rewrite(uint64_t oldStart, uint64_t newStart, uint8_t* bytes,
                                  size_t length, size_t from, size_t until, size_t scan) const {
    until = std::min(until, length);
    const size_t next =
        ScanDisplacements(oldStart, newStart, bytes, length, std::max(scan, from), until);
    RewriteListed(oldStart, newStart, bytes, from, until);
    return next;
}

size_t ReferenceRewriter::ScanDisplacements(uint64_t oldStart, uint64_t newStart, uint8_t* bytes,
                                            size_t length, size_t at, size_t until) const {
    Hints hints;
    while (at < until) {
        uint64_t runEnd = 0;
        const Section* section = old_.SectionAround(oldStart + at, runEnd);
        const size_t limit = static_cast<size_t>(std::min<uint64_t>(length, runEnd - oldStart));
        if (!section || !section->executable) {
            at = std::min(until, limit);
            continue;
        }
        const size_t stop = std::min(until, limit);
        while ((at = NextOpcodeCandidate(bytes, at, stop)) < stop) {
            const size_t field = Rel32At(bytes, at, limit);
            bool found = false;
            if (field != 0 && field + kFieldBytes <= limit) {
                RewriteDisplacement(oldStart + field, newStart + field, bytes + field, found,
                                    hints);
            }
            at = found ? field + kFieldBytes : at + 1;
        }
    }
    return at;
}

// `found` says whether the field was taken for a displacement (its old target lies in code),
// whatever the rewrite.
void ReferenceRewriter::RewriteDisplacement(uint64_t oldField, uint64_t newField, uint8_t* field,
                                            bool& found, Hints& hints) const {
    const int64_t displacement =
        static_cast<int32_t>(plumbing::LoadLittleEndian(field, kFieldBytes));
    uint64_t oldAddress = 0;
    uint64_t target = 0;
    if (!old_.AddressOf(oldField, oldAddress, hints.oldField)) {
        return;
    }
    const uint64_t oldTarget = oldAddress + kFieldBytes + static_cast<uint64_t>(displacement);
    if (!old_.CodeOffsetOf(oldTarget, target, hints.oldTarget)) {
        return;
    }
    found = true;
    // Where the target moved: as MoveAddress, with the target's old offset already known.
    uint64_t newAddress = 0;
    uint64_t newOffset = 0;
    uint64_t newTarget = 0;
    if (!new_.AddressOf(newField, newAddress, hints.newField) ||
        !moved_.NewOffset(target, newOffset) ||
        !new_.AddressOf(newOffset, newTarget, hints.newTarget)) {
        return;
    }
    const int64_t rewritten = static_cast<int64_t>(newTarget - (newAddress + kFieldBytes));
    if (rewritten >= INT32_MIN && rewritten <= INT32_MAX) {
        plumbing::StoreLittleEndian(field, static_cast<uint64_t>(rewritten), kFieldBytes);
    }
}

void ReferenceRewriter::RewriteListed(uint64_t oldStart, uint64_t newStart, uint8_t* bytes,
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
            RewritePcRelative(oldStart + at, newStart + at, bytes + at);
            continue;
        }
        const bool relative = (*field & kKindMask) == kRelativeToBase;
        const uint64_t oldBase = relative ? 0 : old_.imageBase();
        const uint64_t newBase = relative ? 0 : new_.imageBase();
        const uint64_t value = plumbing::LoadLittleEndian(bytes + at, kFieldBytes);
        uint64_t newAddress = 0;
        if (value < oldBase || !MoveAddress(value - oldBase, false, newAddress) ||
            newAddress + newBase > UINT32_MAX) {
            continue;
        }
        plumbing::StoreLittleEndian(bytes + at, newAddress + newBase, kFieldBytes);
    }
}

// A field holding the distance from its own address to what it points to: the distance
// from the field's new address to where that moved.
void ReferenceRewriter::RewritePcRelative(uint64_t oldField, uint64_t newField,
                                          uint8_t* field) const {
    const int64_t distance = static_cast<int32_t>(plumbing::LoadLittleEndian(field, kFieldBytes));
    uint64_t oldAddress = 0;
    uint64_t newAddress = 0;
    uint64_t newTarget = 0;
    if (!old_.AddressOf(oldField, oldAddress) || !new_.AddressOf(newField, newAddress) ||
        !MoveAddress(oldAddress + static_cast<uint64_t>(distance), false, newTarget)) {
        return;
    }
    const int64_t rewritten = static_cast<int64_t>(newTarget - newAddress);
    if (rewritten >= INT32_MIN && rewritten <= INT32_MAX) {
        plumbing::StoreLittleEndian(field, static_cast<uint64_t>(rewritten), kFieldBytes);
    }
}

bool ReferenceRewriter::MoveAddress(uint64_t oldAddress, bool codeOnly,
                                    uint64_t& newAddress) const {
    uint64_t oldOffset = 0;
    uint64_t newOffset = 0;
    const bool found = codeOnly ? old_.CodeOffsetOf(oldAddress, oldOffset)
                                : old_.FileOffsetOf(oldAddress, oldOffset);
    return found && moved_.NewOffset(oldOffset, newOffset) && new_.AddressOf(newOffset, newAddress);
}

} // namespace x86image
