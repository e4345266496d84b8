#include "AddressMap.h"

#include <algorithm>

namespace blockdiff {
namespace {

// The runs a bucket of the index holds on average: a short search in a small table.
constexpr size_t kRunsPerBucket = 4;

} // namespace

void AddressMap::Add(uint64_t oldStart, uint64_t newStart, uint32_t length) {
    if (length > 0 && oldStart + length <= UINT32_MAX && newStart + length <= UINT32_MAX) {
        pending_.push_back(
            {static_cast<uint32_t>(oldStart), static_cast<uint32_t>(newStart), length});
        ++covers_;
    }
}

void AddressMap::Seal() {
    std::vector<Cover> covers;
    covers.swap(pending_);
    std::sort(covers.begin(), covers.end(), [](const Cover& a, const Cover& b) {
        return a.oldStart != b.oldStart ? a.oldStart < b.oldStart : a.newStart < b.newStart;
    });
    CutRuns(covers);
    covers = std::vector<Cover>();
    IndexRuns();
}

void AddressMap::CutRuns(const std::vector<Cover>& covers) {
    std::vector<uint32_t> edges;
    edges.reserve(2 * covers.size() + 1);
    edges.push_back(0);
    for (const Cover& cover : covers) {
        edges.push_back(cover.oldStart);
        edges.push_back(cover.oldStart + cover.length);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    runs_.clear();
    runs_.reserve(edges.size());
    size_t after = 0; // the first cover starting beyond the edge
    for (const uint32_t edge : edges) {
        while (after < covers.size() && covers[after].oldStart <= edge) {
            ++after;
        }
        uint32_t newStart = kNowhere;
        for (size_t looked = 0, i = after; i > 0 && looked < kLookback; ++looked) {
            const Cover& cover = covers[--i];
            if (edge - cover.oldStart < cover.length) {
                newStart = cover.newStart + (edge - cover.oldStart);
                break;
            }
        }
        // A run that only goes on where the one before it leads adds nothing.
        if (!runs_.empty()) {
            const Run& last = runs_.back();
            const bool continues = last.newStart == kNowhere
                                       ? newStart == kNowhere
                                       : newStart == last.newStart + (edge - last.oldStart);
            if (continues) {
                continue;
            }
        }
        runs_.push_back({edge, newStart});
    }
    runs_.shrink_to_fit();
}

void AddressMap::IndexRuns() {
    bucketStarts_.clear();
    bucketShift_ = 0;
    if (runs_.empty()) {
        return;
    }
    const uint64_t span = uint64_t{runs_.back().oldStart} + 1;
    while ((span >> bucketShift_) * kRunsPerBucket > runs_.size()) {
        ++bucketShift_;
    }
    const size_t buckets = static_cast<size_t>(((span - 1) >> bucketShift_) + 1);
    bucketStarts_.assign(buckets + 1, static_cast<uint32_t>(runs_.size()));
    for (size_t i = runs_.size(); i-- > 0;) {
        bucketStarts_[runs_[i].oldStart >> bucketShift_] = static_cast<uint32_t>(i);
    }
    // An empty bucket starts where the next one does.
    for (size_t b = buckets; b-- > 0;) {
        bucketStarts_[b] = std::min(bucketStarts_[b], bucketStarts_[b + 1]);
    }
}

size_t AddressMap::RunOf(uint32_t offset) const {
    const uint64_t bucket = offset >> bucketShift_;
    if (bucket + 1 >= bucketStarts_.size()) {
        return runs_.size() - 1; // beyond the last run's start
    }
    // The run holding the offset starts in its bucket or, when none starts at or below it
    // there, is the last run before the bucket.
    const auto begin = runs_.begin() + bucketStarts_[bucket];
    const auto end = runs_.begin() + bucketStarts_[bucket + 1];
    const auto after = std::upper_bound(
        begin, end, offset, [](uint32_t value, const Run& run) { return value < run.oldStart; });
    return static_cast<size_t>(after - runs_.begin()) - 1;
}

bool AddressMap::NewOffset(uint64_t oldOffset, uint64_t& newOffset) const {
    if (oldOffset > UINT32_MAX || runs_.empty()) {
        return false;
    }
    const uint32_t at = static_cast<uint32_t>(oldOffset);
    const Run& run = runs_[RunOf(at)];
    if (run.newStart == kNowhere) {
        return false;
    }
    newOffset = uint64_t{run.newStart} + (at - run.oldStart);
    return true;
}

} // namespace blockdiff
