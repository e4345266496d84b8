#pragma once
#include "MovedOffsets.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// Where the bytes of the old file went in the new one, as the covers of a payload say: each
// cover copied a run of old bytes to a place in the new file, so an address that pointed into
// that run points to the same bytes at their new place. Files of the predictor are below
// 4 GiB (format::kMaxPredictedFileSize); a cover reaching beyond that in either file is left
// out.
class AddressMap : public x86image::MovedOffsets {
public:
    // Adds a cover; Seal() before the first lookup.
    void Add(uint64_t oldStart, uint64_t newStart, uint32_t length);
    // Orders the covers by their old start, ties by their new start, so that a lookup gives
    // the same answer however the covers were added, and cuts the old offsets into the runs
    // in which that answer moves with the offset. The covers themselves are then freed.
    void Seal();
    // The new offset of the byte at `oldOffset`: through the first cover holding it among the
    // kLookback covers with the greatest old starts at or below it (in the order of Seal,
    // last first). False when none of them holds it. Several covers may copy the same old
    // bytes, and a short one starting just below an offset must not hide the long one
    // around it.
    bool NewOffset(uint64_t oldOffset, uint64_t& newOffset) const override;

    // The covers added.
    size_t size() const { return covers_; }

    static constexpr size_t kLookback = 16;

private:
    struct Cover {
        uint32_t oldStart;
        uint32_t newStart;
        uint32_t length;
    };
    // Old offsets from `oldStart` up to the next run's start go to `newStart` on, or nowhere.
    // Between two neighbouring ends or starts of covers, the kLookback covers a lookup looks
    // at and which of them hold the offset stay the same, so one run per end and start (at
    // most 2 a cover, fewer where a cover's runs join) answers every lookup with one search.
    struct Run {
        uint32_t oldStart;
        uint32_t newStart;
    };
    static constexpr uint32_t kNowhere = UINT32_MAX;

    void CutRuns(const std::vector<Cover>& covers);
    void IndexRuns();
    // The index of the run holding `offset`: a search within the offset's bucket only.
    size_t RunOf(uint32_t offset) const;

    std::vector<Cover> pending_;
    size_t covers_ = 0;
    std::vector<Run> runs_;
    // An apply asks for every displacement and field of the image: a search over all runs
    // each time cost 14 % of it. The old offsets are cut into buckets of 2^bucketShift_ bytes,
    // about four runs each; bucketStarts_[b] is the first run starting in bucket b or later
    // (one more than the buckets, for the end).
    std::vector<uint32_t> bucketStarts_;
    unsigned bucketShift_ = 0;
};

} // namespace blockdiff
