#pragma once
#include "MovedOffsets.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// Where the bytes of the old file went in the new one, as the covers of a payload say: each
// cover copied a run of old bytes to a place in the new file, so an address that pointed into
// that run points to the same bytes at their new place. Files of the predictor are below
// 4 GiB (format::kMaxPredictedFileSize).
class AddressMap : public x86image::MovedOffsets {
public:
    // Adds a cover; Seal() before the first lookup.
    void Add(uint64_t oldStart, uint64_t newStart, uint32_t length);
    // Orders the covers by their old start, ties by their new start, so that a lookup gives
    // the same answer however the covers were added.
    void Seal();
    // The new offset of the byte at `oldOffset`: through the first cover holding it among the
    // kLookback covers with the greatest old starts at or below it (in the order of Seal,
    // last first). False when none of them holds it. Several covers may copy the same old
    // bytes, and a short one starting just below an offset must not hide the long one
    // around it.
    bool NewOffset(uint64_t oldOffset, uint64_t& newOffset) const override;

    size_t size() const { return entries_.size(); }

    static constexpr size_t kLookback = 16;

private:
    // The index of the first entry whose old start is beyond `offset` (upper bound): a search
    // within the offset's bucket only.
    size_t FirstAfter(uint32_t offset) const;
    void SetReaches();

    struct Entry {
        uint32_t oldStart;
        uint32_t newStart;
        uint32_t length;
        // The furthest old end among this entry and the kLookback - 1 before it (UINT32_MAX
        // when it may be further): an offset there or beyond is held by none of them, so a
        // lookup that would find nothing stops at once. Most targets of code that moved are
        // in no cover, and each walked kLookback entries.
        uint32_t reach;
    };
    std::vector<Entry> entries_;
    // An apply asks for every displacement and field of the image: a search over all covers
    // each time cost 14 % of it. The old offsets are cut into buckets of 2^bucketShift_ bytes,
    // about one cover each; bucketStarts_[b] is the first entry starting in bucket b or later
    // (one more than the buckets, for the end). At most 4 bytes per cover, with the 4 of
    // each entry's reach.
    std::vector<uint32_t> bucketStarts_;
    unsigned bucketShift_ = 0;
};

} // namespace blockdiff
