#pragma once
#include "MatchLookup.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// The parts of the old file a new file is matched against, held back to back in one text,
// with the sorted suffixes of that text (libdivsufsort) to find the longest match of any
// string. Memory: the text and 4 bytes per byte of it. The text is below 2 GiB.
class SuffixIndex : public MatchLookup {
public:
    // Where one part of the old file lies in the text.
    struct Region {
        uint64_t oldStart = 0;
        size_t textStart = 0;
        size_t length = 0;
    };
    using Match = TextMatch;

    // Takes the text and its regions (in text order, back to back, covering it) and sorts
    // the suffixes. False when the memory for that could not be had.
    bool Build(std::vector<uint8_t> text, std::vector<Region> regions);
    // Takes the text and its regions without sorting: for the anchors (AnchorTable.h) and
    // the differences only.
    void Hold(std::vector<uint8_t> text, std::vector<Region> regions);
    // Sorts the suffixes of a held text, as Build does. False when the memory could not be had.
    bool Sort();

    // The longest prefix of `pattern` (of `length` bytes) found in the text, cut at the end
    // of the region it starts in; length 0 when not even its first byte is there, or when
    // the suffixes are not sorted.
    Match Longest(const uint8_t* pattern, size_t length) const override;

    // Frees the sorted suffixes once matching is done; the text stays for the differences.
    void DropSuffixes() { std::vector<int32_t>().swap(suffixes_); }

    const uint8_t* text() const { return text_.data(); }
    const std::vector<Region>& regions() const { return regions_; }
    size_t size() const { return text_.size(); }
    // The region holding text position `pos` (below size()).
    const Region& RegionOf(size_t pos) const;
    uint64_t OldOffset(size_t pos) const {
        const Region& region = RegionOf(pos);
        return region.oldStart + (pos - region.textStart);
    }

private:
    size_t CommonPrefix(size_t textPos, const uint8_t* pattern, size_t from, size_t length) const;

    std::vector<uint8_t> text_;
    std::vector<Region> regions_;
    std::vector<int32_t> suffixes_;
};

} // namespace blockdiff
