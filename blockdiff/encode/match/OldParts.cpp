#include "OldParts.h"

#include "ReadRange.h"

#include <algorithm>
#include <numeric>

namespace blockdiff {
std::vector<SuffixIndex::Region> ChooseOldParts(const std::vector<uint32_t>& votes,
                                                uint64_t oldSize, size_t budget) {
    const uint64_t partBytes = SampledStrings::kPartBytes;
    std::vector<size_t> order(votes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return votes[a] > votes[b]; });

    std::vector<bool> chosen(votes.size(), false);
    uint64_t total = 0;
    const auto choose = [&](size_t part) {
        const uint64_t length = std::min(partBytes, oldSize - part * partBytes);
        if (chosen[part] || total + length > budget) {
            return;
        }
        chosen[part] = true;
        total += length;
    };
    for (const size_t part : order) {
        if (votes[part] < kMinVotes) {
            break;
        }
        choose(part);
        for (const size_t neighbour : {part - 1, part + 1}) {
            if (neighbour < votes.size() && votes[neighbour] > 0) {
                choose(neighbour);
            }
        }
    }

    std::vector<SuffixIndex::Region> regions;
    size_t textEnd = 0;
    for (size_t part = 0; part < votes.size(); ++part) {
        if (!chosen[part]) {
            continue;
        }
        const uint64_t start = part * partBytes;
        const size_t length = static_cast<size_t>(std::min(partBytes, oldSize - start));
        if (!regions.empty() && regions.back().oldStart + regions.back().length == start) {
            regions.back().length += length;
        } else {
            regions.push_back({start, textEnd, length});
        }
        textEnd += length;
    }
    return regions;
}

bool ReadOldParts(plumbing::Source& old, const std::vector<SuffixIndex::Region>& regions,
                  std::vector<uint8_t>& text) {
    text.resize(regions.empty() ? 0 : regions.back().textStart + regions.back().length);
    for (const SuffixIndex::Region& region : regions) {
        if (!plumbing::ReadRange(old, region.oldStart, text.data() + region.textStart,
                                 region.length)) {
            return false;
        }
    }
    return true;
}

} // namespace blockdiff
