#pragma once
#include "BlockError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A cover copies `length` bytes of the old file from `oldStart` to `outputStart` of its block,
// where the differences are then added. Its record holds three varints (as VCDIFF writes
// them): the literal bytes between the end of the previous cover (or the block's start) and
// this cover, the distance from the end of the previous cover's old range (0 for the first
// cover of a block) to this one's start, zigzag-coded (0, -1, 1, -2, ...), and the length.
// Small distances are the common case: code that moved keeps its order.
namespace blockdiff {

struct Cover {
    uint32_t outputStart = 0; // in the block
    uint64_t oldStart = 0;
    uint32_t length = 0;
};

// Appends the record of `cover`, which follows a cover (or the block's start) that ended at
// `outputEnd` in the block and `oldEnd` in the old file.
void AppendCoverRecord(std::vector<uint8_t>& out, const Cover& cover, uint32_t outputEnd,
                       uint64_t oldEnd);
// The bytes AppendCoverRecord appends for the same arguments.
size_t CoverRecordBytes(const Cover& cover, uint32_t outputEnd, uint64_t oldEnd);

// Reads a block's cover records in order and checks each one: no cover is empty, overlaps the
// one before, runs past the block or reads outside the old file.
class CoverReader {
public:
    CoverReader(const uint8_t* records, size_t size, uint32_t blockOutput, uint64_t oldSize)
        : records_(records), size_(size), blockOutput_(blockOutput), oldSize_(oldSize) {}

    bool AtEnd() const { return pos_ == size_; }
    // The next cover; false on damage. `at` (the block's offset) goes into the failure.
    bool Next(Cover& cover, Failure& failure, uint64_t at);
    // Where the last cover ended in the block (0 before the first).
    uint32_t outputEnd() const { return outputEnd_; }

private:
    bool ReadField(uint64_t& value, const char* what, Failure& failure, uint64_t at);

    const uint8_t* records_;
    size_t size_;
    size_t pos_ = 0;
    uint32_t blockOutput_;
    uint64_t oldSize_;
    uint32_t outputEnd_ = 0;
    uint64_t oldEnd_ = 0;
    size_t index_ = 0;
};

} // namespace blockdiff
