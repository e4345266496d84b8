#include "CoverCoding.h"

#include "Varint.h"

#include <string>

namespace blockdiff {
namespace {

uint64_t ZigZag(uint64_t from, uint64_t to) {
    return to >= from ? (to - from) << 1 : ((from - to - 1) << 1) | 1;
}

} // namespace

void AppendCoverRecord(std::vector<uint8_t>& out, const Cover& cover, uint32_t outputEnd,
                       uint64_t oldEnd) {
    plumbing::AppendVarint(out, cover.outputStart - outputEnd);
    plumbing::AppendVarint(out, ZigZag(oldEnd, cover.oldStart));
    plumbing::AppendVarint(out, cover.length);
}

size_t CoverRecordBytes(const Cover& cover, uint32_t outputEnd, uint64_t oldEnd) {
    return plumbing::VarintLength(cover.outputStart - outputEnd) +
           plumbing::VarintLength(ZigZag(oldEnd, cover.oldStart)) +
           plumbing::VarintLength(cover.length);
}

bool CoverReader::ReadField(uint64_t& value, const char* what, Failure& failure, uint64_t at) {
    PLUMBING_FAIL_IF(
        plumbing::ReadVarint(records_, size_, pos_, value) != plumbing::VarintStatus::Ok, failure,
        Error::Corrupt, "cover " + std::to_string(index_) + ": a bad or cut " + what, at);
    return true;
}

bool CoverReader::Next(Cover& cover, Failure& failure, uint64_t at) {
    uint64_t gap = 0;
    uint64_t distance = 0;
    uint64_t length = 0;
    if (!ReadField(gap, "literal count", failure, at) ||
        !ReadField(distance, "old distance", failure, at) ||
        !ReadField(length, "length", failure, at)) {
        return false;
    }
    const std::string which = "cover " + std::to_string(index_);
    PLUMBING_FAIL_IF(gap > blockOutput_ - outputEnd_, failure, Error::BadCover,
                     which + " starts past its block", at);
    const uint32_t start = outputEnd_ + static_cast<uint32_t>(gap);
    PLUMBING_FAIL_IF(length == 0, failure, Error::BadCover, which + " is empty", at);
    PLUMBING_FAIL_IF(length > blockOutput_ - start, failure, Error::BadCover,
                     which + " runs past its block", at);

    const uint64_t magnitude = distance >> 1;
    const bool backwards = (distance & 1) != 0;
    // Backwards by magnitude + 1, never below the old file's start.
    PLUMBING_FAIL_IF(backwards && magnitude >= oldEnd_, failure, Error::BadCover,
                     which + " starts before the old file", at);
    PLUMBING_FAIL_IF(!backwards && magnitude > oldSize_ - oldEnd_, failure, Error::BadCover,
                     which + " starts past the old file", at);
    const uint64_t oldStart = backwards ? oldEnd_ - magnitude - 1 : oldEnd_ + magnitude;
    PLUMBING_FAIL_IF(length > oldSize_ - oldStart, failure, Error::BadCover,
                     which + " runs past the end of the old file", at);

    cover.outputStart = start;
    cover.oldStart = oldStart;
    cover.length = static_cast<uint32_t>(length);
    outputEnd_ = start + cover.length;
    oldEnd_ = oldStart + length;
    ++index_;
    return true;
}

} // namespace blockdiff
