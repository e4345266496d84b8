#include "SuffixIndex.h"

#include <divsufsort.h>

#include <algorithm>
#include <new>

namespace blockdiff {

void SuffixIndex::Hold(std::vector<uint8_t> text, std::vector<Region> regions) {
    text_ = std::move(text);
    regions_ = std::move(regions);
    std::vector<int32_t>().swap(suffixes_);
}

bool SuffixIndex::Build(std::vector<uint8_t> text, std::vector<Region> regions) {
    Hold(std::move(text), std::move(regions));
    return Sort();
}

bool SuffixIndex::Sort() {
    if (text_.empty()) {
        return true;
    }
    try {
        suffixes_.resize(text_.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return divsufsort(text_.data(), suffixes_.data(), static_cast<saidx_t>(text_.size())) == 0;
}

const SuffixIndex::Region& SuffixIndex::RegionOf(size_t pos) const {
    const auto after =
        std::upper_bound(regions_.begin(), regions_.end(), pos,
                         [](size_t at, const Region& region) { return at < region.textStart; });
    return *(after - 1);
}

// How many bytes from `from` on the suffix at `textPos` shares with the pattern, which it is
// known to share the first `from` of.
size_t SuffixIndex::CommonPrefix(size_t textPos, const uint8_t* pattern, size_t from,
                                 size_t length) const {
    const size_t limit = std::min(length, text_.size() - textPos);
    const uint8_t* suffix = text_.data() + textPos;
    size_t n = from;
    while (n < limit && suffix[n] == pattern[n]) {
        ++n;
    }
    return n;
}

// Binary search over the sorted suffixes, skipping the bytes both ends of the range are
// known to share with the pattern. The longest match is next to where the pattern would
// sort, and both neighbours are compared on the way there.
SuffixIndex::Match SuffixIndex::Longest(const uint8_t* pattern, size_t length) const {
    Match best;
    size_t left = 0;
    size_t right = suffixes_.size();
    size_t sharedLeft = 0;
    size_t sharedRight = 0;
    while (left < right) {
        const size_t middle = left + (right - left) / 2;
        const size_t textPos = static_cast<size_t>(suffixes_[middle]);
        const size_t shared =
            CommonPrefix(textPos, pattern, std::min(sharedLeft, sharedRight), length);
        if (shared > best.length) {
            best = {textPos, shared};
        }
        const bool suffixIsLess = shared < length && (textPos + shared == text_.size() ||
                                                      text_[textPos + shared] < pattern[shared]);
        if (suffixIsLess) {
            left = middle + 1;
            sharedLeft = shared;
        } else {
            right = middle;
            sharedRight = shared;
        }
        if (shared == length) {
            break;
        }
    }
    if (best.length > 0) {
        const Region& region = RegionOf(best.textPos);
        best.length = std::min(best.length, region.textStart + region.length - best.textPos);
    }
    return best;
}

} // namespace blockdiff
