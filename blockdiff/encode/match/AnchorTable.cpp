#include "AnchorTable.h"

#include <algorithm>
#include <cstring>

namespace blockdiff {
namespace {

struct Window {
    uint64_t hash = 0;
    bool anchor = false;
};

// The hash of the kAnchorBytes bytes at `at`, from four words: cheap enough to be taken at
// every position the cover finder asks about, with no state carried between them. A window
// repeating one word is always an anchor: in a run of equal bytes every window has the same
// hash, so the content alone would make all of them anchors or none, and the table keeps
// the first of them, where the run starts.
Window WindowAt(const uint8_t* at) {
    uint64_t words[AnchorTable::kAnchorBytes / 8];
    std::memcpy(words, at, sizeof words);
    Window window;
    bool repeating = true;
    for (const uint64_t word : words) {
        window.hash = (window.hash ^ word) * 0x9E3779B97F4A7C15ull;
        window.hash ^= window.hash >> 29;
        repeating = repeating && word == words[0];
    }
    window.anchor = repeating || (window.hash & (AnchorTable::kSpacing - 1)) == 0;
    return window;
}

// The common prefix of two strings of at most `limit` bytes.
size_t CommonPrefix(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t n = 0;
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

} // namespace

void AnchorTable::Build(const SuffixIndex& index) {
    index_ = &index;
    bits_ = 1;
    while (bits_ < 31 && (size_t{1} << bits_) < index.size() / kSpacing) {
        ++bits_;
    }
    buckets_.assign(size_t{1} << bits_, 0);
    const uint8_t* text = index.text();
    for (const SuffixIndex::Region& region : index.regions()) {
        const size_t end = region.textStart + region.length;
        for (size_t pos = region.textStart; pos + kAnchorBytes <= end; ++pos) {
            // Only an anchor touches its bucket: a table far larger than the caches costs a
            // miss a lookup, which every position would otherwise pay.
            const Window window = WindowAt(text + pos);
            if (!window.anchor) {
                continue;
            }
            uint32_t& bucket = buckets_[BucketOf(window.hash)];
            if (bucket == 0) {
                bucket = static_cast<uint32_t>(pos + 1);
            }
        }
    }
}

TextMatch AnchorTable::Longest(const uint8_t* pattern, size_t length) const {
    if (length < kAnchorBytes) {
        return {};
    }
    const Window window = WindowAt(pattern);
    const uint32_t bucket = window.anchor ? buckets_[BucketOf(window.hash)] : 0;
    if (bucket == 0) {
        return {};
    }
    const size_t textPos = bucket - 1;
    const SuffixIndex::Region& region = index_->RegionOf(textPos);
    const size_t limit = std::min(length, region.textStart + region.length - textPos);
    const size_t common = CommonPrefix(index_->text() + textPos, pattern, limit);
    if (common < kAnchorBytes) {
        return {}; // another string with the same hash
    }
    return {textPos, common};
}

} // namespace blockdiff
