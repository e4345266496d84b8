#include "WindowEncoder.h"

#include <algorithm>

namespace vcdiff {

namespace {
// A match at least this long is taken without looking one position further.
constexpr size_t kLazyLimit = 64;
// Matches saving fewer bytes than this are left as added bytes.
constexpr long kMinGain = 2;
} // namespace

void WindowEncoder::Encode(const uint8_t* u, size_t segmentLength, size_t length, bool sameSegment,
                           bool keepSegmentIndex) {
    u_ = u;
    segmentLength_ = segmentLength;
    length_ = length;
    distanceCount_ = 0;
    hasSegmentCopy_ = false;
    encoder_.Reset();
    finder_.Prepare(u, segmentLength, length, sameSegment, keepSegmentIndex);

    size_t literalStart = segmentLength;
    size_t pos = segmentLength;
    while (pos < length) {
        finder_.IndexUpTo(pos);
        Match match = BestAt(pos);
        if (match.gain < kMinGain) {
            ++pos;
            continue;
        }
        match = Defer(pos, match);
        ExtendBackwards(literalStart, pos, match);
        Emit(literalStart, pos, match);
        pos += match.length;
        literalStart = pos;
    }
    encoder_.Add(u + literalStart, length - literalStart);
    encoder_.Finish();
}

Match WindowEncoder::BestAt(size_t pos) const {
    std::array<size_t, kHints> hints{};
    for (size_t i = 0; i < distanceCount_; ++i) {
        hints[i] = distances_[i] <= pos ? pos - distances_[i] : pos;
    }
    return finder_.Find(pos, encoder_.cache(), hints.data(), distanceCount_);
}

// Looks one position ahead while that gives a better match; `pos` moves to the match taken.
Match WindowEncoder::Defer(size_t& pos, Match match) {
    while (match.length < kLazyLimit && pos + 1 < length_) {
        finder_.IndexUpTo(pos + 1);
        const Match next = BestAt(pos + 1);
        if (next.gain <= match.gain) {
            break;
        }
        match = next;
        ++pos;
    }
    return match;
}

void WindowEncoder::ExtendBackwards(size_t literalStart, size_t& pos, Match& match) const {
    const size_t floor = match.address < segmentLength_ ? 0 : segmentLength_;
    while (pos > literalStart && match.address > floor && u_[match.address - 1] == u_[pos - 1]) {
        --match.address;
        --pos;
        ++match.length;
    }
}

void WindowEncoder::Emit(size_t literalStart, size_t pos, const Match& match) {
    encoder_.Add(u_ + literalStart, pos - literalStart);
    encoder_.Copy(match.address, match.length, pos);
    RememberDiagonal(match.address, pos);
    if (match.address < segmentLength_) {
        hasSegmentCopy_ = true;
        segmentCopyEnd_ = match.address + match.length;
        targetCopyEnd_ = pos - segmentLength_ + match.length;
    }
    finder_.IndexUpTo(pos + match.length);
}

void WindowEncoder::RememberDiagonal(size_t address, size_t pos) {
    const size_t distance = pos - address;
    const auto end = distances_.begin() + distanceCount_;
    auto found = std::find(distances_.begin(), end, distance);
    if (found == end) {
        if (distanceCount_ < kHints) {
            ++distanceCount_;
        }
        found = distances_.begin() + distanceCount_ - 1;
    }
    // Most recent first.
    std::rotate(distances_.begin(), found, found + 1);
    distances_[0] = distance;
}

} // namespace vcdiff
