#pragma once
#include "InstructionEncoder.h"
#include "MatchFinder.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vcdiff {

// Chooses the instructions of one window: at each position the best match by estimated
// bytes saved (a cheap address counts as much as a long match), deferred by one position
// when the next position offers a better one (lazy matching), and stretched backwards over
// bytes that would otherwise be added.
class WindowEncoder {
public:
    explicit WindowEncoder(MatchParams params = {}) : finder_(params) {}

    // `u` holds the segment (`segmentLength` bytes) followed by the target window, `length`
    // bytes in all. The result is in instructions().
    void Encode(const uint8_t* u, size_t segmentLength, size_t length, bool sameSegment,
                bool keepSegmentIndex);

    const InstructionEncoder& instructions() const { return encoder_; }
    // The last COPY from the segment: where it ended in the segment and in the target
    // window; `hasSegmentCopy` is false when there was none.
    bool hasSegmentCopy() const { return hasSegmentCopy_; }
    size_t segmentCopyEnd() const { return segmentCopyEnd_; }
    size_t targetCopyEnd() const { return targetCopyEnd_; }

private:
    static constexpr size_t kHints = 4;

    Match BestAt(size_t pos) const;
    Match Defer(size_t& pos, Match match);
    void ExtendBackwards(size_t literalStart, size_t& pos, Match& match) const;
    void Emit(size_t literalStart, size_t pos, const Match& match);
    void RememberDiagonal(size_t address, size_t pos);

    MatchFinder finder_;
    InstructionEncoder encoder_;
    const uint8_t* u_ = nullptr;
    size_t segmentLength_ = 0;
    size_t length_ = 0;
    // Offsets from a position to the continuation of a recent copy.
    std::array<size_t, kHints> distances_{};
    size_t distanceCount_ = 0;
    bool hasSegmentCopy_ = false;
    size_t segmentCopyEnd_ = 0;
    size_t targetCopyEnd_ = 0;
};

} // namespace vcdiff
