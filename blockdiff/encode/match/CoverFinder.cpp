#include "CoverFinder.h"

#include <algorithm>

namespace blockdiff {
namespace {

// Longer exact matches are looked up this far only: enough to tell alignments apart, and it
// keeps every lookup short in long runs of equal data.
constexpr size_t kMaxProbe = 4096;

// New position i meets text position i + offset while that lies in [lo, hi), the region of
// the match the alignment came from. lo == hi: no alignment.
struct Alignment {
    int64_t offset = 0;
    size_t lo = 0;
    size_t hi = 0;

    bool Holds(size_t newPos) const {
        const int64_t textPos = static_cast<int64_t>(newPos) + offset;
        return textPos >= static_cast<int64_t>(lo) && textPos < static_cast<int64_t>(hi);
    }
    size_t Text(size_t newPos) const {
        return static_cast<size_t>(static_cast<int64_t>(newPos) + offset);
    }
};

class Scan {
public:
    Scan(const SuffixIndex& index, const MatchLookup& lookup, const uint8_t* newData, size_t end,
         const CostModel& model)
        : index_(index), lookup_(lookup), text_(index.text()), new_(newData), end_(end),
          model_(model) {}

    std::vector<FoundCover> Run(size_t begin, size_t startText) {
        if (startText < index_.size()) {
            current_ = AlignmentAt(begin, startText);
        }
        size_t scan = begin;
        size_t lastScan = begin;
        size_t length = 0;
        while (scan < end_) {
            int64_t agreed = 0; // bytes of [scan, scan + length) the current alignment agrees on
            size_t counted = scan += length;
            TextMatch match;
            for (; scan < end_; ++scan) {
                match = lookup_.Longest(new_ + scan, std::min(kMaxProbe, end_ - scan));
                length = match.length;
                for (; counted < scan + length; ++counted) {
                    agreed += Agrees(current_, counted);
                }
                const int64_t found = static_cast<int64_t>(length);
                if ((found == agreed && length != 0) || found > agreed + model_.switchMargin) {
                    break;
                }
                agreed -= Agrees(current_, scan);
            }
            if (static_cast<int64_t>(length) != agreed || scan == end_) {
                const Alignment next = scan < end_ ? AlignmentAt(scan, match.textPos) : Alignment{};
                lastScan = EndCover(lastScan, scan, next);
                current_ = next;
            }
        }
        return std::move(covers_);
    }

private:
    Alignment AlignmentAt(size_t newPos, size_t textPos) const {
        const SuffixIndex::Region& region = index_.RegionOf(textPos);
        return {static_cast<int64_t>(textPos) - static_cast<int64_t>(newPos), region.textStart,
                region.textStart + region.length};
    }

    int Agrees(const Alignment& alignment, size_t newPos) const {
        return alignment.Holds(newPos) && text_[alignment.Text(newPos)] == new_[newPos] ? 1 : 0;
    }

    int Gain(const Alignment& alignment, size_t newPos) const {
        return Agrees(alignment, newPos) ? model_.AgreeGain() : model_.DisagreeGain();
    }

    // Ends the current cover, which started at `lastScan`, before `scan`, where `next`
    // begins; returns where the next cover starts.
    size_t EndCover(size_t lastScan, size_t scan, const Alignment& next) {
        size_t forward = Forward(lastScan, scan);
        size_t backward = scan < end_ ? Backward(next, scan, lastScan) : 0;
        if (lastScan + forward > scan - backward) {
            Split(lastScan + forward - (scan - backward), scan - backward, next, forward, backward);
        }
        if (forward > 0) {
            covers_.push_back({lastScan, current_.Text(lastScan), forward});
        }
        return scan - backward;
    }

    // How far from `from` (towards `limit`) the current alignment pays most.
    size_t Forward(size_t from, size_t limit) const {
        long score = 0;
        long best = 0;
        size_t length = 0;
        for (size_t i = from; i < limit && current_.Holds(i); ++i) {
            score += Gain(current_, i);
            if (score > best) {
                best = score;
                length = i + 1 - from;
            }
        }
        return length;
    }

    // How far back from `at` (not below `limit`) the next alignment pays most.
    size_t Backward(const Alignment& next, size_t at, size_t limit) const {
        long score = 0;
        long best = 0;
        size_t length = 0;
        for (size_t i = 1; at >= limit + i && next.Holds(at - i); ++i) {
            score += Gain(next, at - i);
            if (score > best) {
                best = score;
                length = i;
            }
        }
        return length;
    }

    // The two covers overlap on `overlap` bytes from `start`: the first keeps the prefix of
    // them where it agrees more often than the second.
    void Split(size_t overlap, size_t start, const Alignment& next, size_t& forward,
               size_t& backward) const {
        long score = 0;
        long best = 0;
        size_t kept = 0;
        for (size_t i = 0; i < overlap; ++i) {
            score += Agrees(current_, start + i) - Agrees(next, start + i);
            if (score > best) {
                best = score;
                kept = i + 1;
            }
        }
        forward -= overlap - kept;
        backward -= kept;
    }

    const SuffixIndex& index_;
    const MatchLookup& lookup_;
    const uint8_t* text_;
    const uint8_t* new_;
    size_t end_;
    const CostModel& model_;
    Alignment current_;
    std::vector<FoundCover> covers_;
};

} // namespace

std::vector<FoundCover> FindCovers(const SuffixIndex& index, const MatchLookup& lookup,
                                   const uint8_t* newData, size_t begin, size_t end,
                                   size_t startText, const CostModel& model) {
    return Scan(index, lookup, newData, end, model).Run(begin, startText);
}

} // namespace blockdiff
