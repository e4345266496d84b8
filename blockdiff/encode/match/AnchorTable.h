#pragma once
#include "MatchLookup.h"
#include "SuffixIndex.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// Long matches found cheaply, for old text too large to sort the suffixes of in the time a
// build may take. The anchors are the kAnchorBytes-byte strings of the text whose hash has
// its low bits clear, about one every kSpacing bytes: chosen by content, not by position, so
// that the new file asks the table only where its own string could be an anchor, and a
// match of a few hundred bytes meets an anchor almost surely, wherever it starts (a window
// of one repeated word is always an anchor, see AnchorTable.cpp). A match
// found is verified byte by byte and extended forward; the cover finder extends it backward.
// Memory: 4 bytes a bucket, one bucket per kSpacing bytes of text rounded up to a power of
// two; a bucket keeps the first anchor that hashes to it.
class AnchorTable : public MatchLookup {
public:
    static constexpr size_t kAnchorBytes = 32;
    static constexpr size_t kSpacing = 16;

    // Anchors the text of `index`, which must outlive the table. Throws std::bad_alloc.
    void Build(const SuffixIndex& index);

    // The match at the anchor `pattern` begins with, when its first kAnchorBytes bytes are one.
    TextMatch Longest(const uint8_t* pattern, size_t length) const override;

private:
    size_t BucketOf(uint64_t hash) const { return static_cast<size_t>(hash >> (64 - bits_)); }

    const SuffixIndex* index_ = nullptr;
    unsigned bits_ = 0;
    std::vector<uint32_t> buckets_; // text position + 1; 0 for none
};

} // namespace blockdiff
