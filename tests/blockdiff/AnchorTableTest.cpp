// The anchors' matches: always exact and within their region, and on long copies as good as
// the suffix index's, however the copies are placed.
#include "AnchorTable.h"
#include "CoverFinder.h"
#include "Shapes.h"
#include "TestIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace blockdiff {
namespace {

using vcdiff::test::Bytes;
using vcdiff::test::Random;
using vcdiff::test::StructuredBytes;

// A new file made of copies of the old one taken at random places, each of `copyLength`
// bytes and followed by `freshLength` bytes of its own.
Bytes CopiesOf(const Bytes& old, size_t copies, size_t copyLength, size_t freshLength,
               uint64_t seed) {
    Random random(seed);
    Bytes out;
    for (size_t i = 0; i < copies; ++i) {
        const size_t from = random.Below(old.size() - copyLength);
        out.insert(out.end(), old.begin() + from, old.begin() + from + copyLength);
        const Bytes fresh = random.Fill(freshLength);
        out.insert(out.end(), fresh.begin(), fresh.end());
    }
    return out;
}

struct Text {
    const char* name;
    Bytes (*make)();
    // Regions of the old file back to back in the text, each this long (0: one region).
    size_t regionLength;
};

const Text kTexts[] = {
    {"Random", [] { return Random(1).Fill(1u << 20); }, 0},
    {"Structured", [] { return StructuredBytes(1u << 20, 2); }, 0},
    {"StructuredInRegions", [] { return StructuredBytes(1u << 20, 3); }, 100000},
    {"Repetitive", [] { return Bytes(300000, 0x90); }, 0},
};

std::vector<SuffixIndex::Region> RegionsOf(size_t size, size_t regionLength) {
    const size_t length = regionLength ? regionLength : size;
    std::vector<SuffixIndex::Region> regions;
    for (size_t at = 0; at < size; at += length) {
        // Any old offsets will do, as long as the regions do not follow each other.
        regions.push_back({uint64_t{at} * 3, at, std::min(length, size - at)});
    }
    return regions;
}

class Anchors : public ::testing::TestWithParam<Text> {
protected:
    void SetUp() override {
        old_ = GetParam().make();
        sorted_.Build(old_, RegionsOf(old_.size(), GetParam().regionLength));
        held_.Hold(old_, RegionsOf(old_.size(), GetParam().regionLength));
        anchors_.Build(held_);
    }

    size_t Covered(const MatchLookup& lookup, const Bytes& next) const {
        size_t covered = 0;
        for (const FoundCover& cover :
             FindCovers(held_, lookup, next.data(), 0, next.size(), SIZE_MAX, CostModel())) {
            covered += cover.length;
        }
        return covered;
    }

    Bytes old_;
    SuffixIndex sorted_;
    SuffixIndex held_;
    AnchorTable anchors_;
};

TEST_P(Anchors, EveryMatchIsExactAndWithinItsRegion) {
    const Bytes next = CopiesOf(old_, 200, 300, 40, 5);
    size_t found = 0;
    for (size_t pos = 0; pos < next.size(); ++pos) {
        const size_t length = next.size() - pos;
        const TextMatch match = anchors_.Longest(next.data() + pos, length);
        if (match.length == 0) {
            continue;
        }
        ++found;
        ASSERT_GE(match.length, AnchorTable::kAnchorBytes);
        ASSERT_LE(match.length, length);
        const SuffixIndex::Region& region = held_.RegionOf(match.textPos);
        ASSERT_LE(match.textPos + match.length, region.textStart + region.length);
        ASSERT_EQ(std::memcmp(held_.text() + match.textPos, next.data() + pos, match.length), 0)
            << "at " << pos;
    }
    EXPECT_GT(found, 0u);
}

// Copies of 1 KiB between fresh bytes: the cover finder through the anchors covers as much
// as through the sorted suffixes, but for the few bytes of a copy before its first anchor
// that the backward extension does not recover, and the copies cut by a region's edge.
TEST_P(Anchors, CoverLongCopiesAsTheSuffixIndexDoes) {
    const Bytes next = CopiesOf(old_, 300, 1024, 100, 6);
    const size_t bySuffixes = Covered(sorted_, next);
    const size_t byAnchors = Covered(anchors_, next);
    EXPECT_GE(byAnchors, bySuffixes * 98 / 100) << bySuffixes << " by the suffix index";
    EXPECT_LE(byAnchors, next.size());
}

// Nothing of the new file is in the old: no anchor matches, whatever collides in the table.
TEST_P(Anchors, FindNothingInUnrelatedBytes) {
    const Bytes next = Random(99).Fill(200000);
    size_t found = 0;
    for (size_t pos = 0; pos + AnchorTable::kAnchorBytes <= next.size(); ++pos) {
        found += anchors_.Longest(next.data() + pos, next.size() - pos).length;
    }
    EXPECT_EQ(found, 0u);
}

INSTANTIATE_TEST_SUITE_P(Texts, Anchors, ::testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AnchorTable, PatternShorterThanAnAnchorFindsNothing) {
    const Bytes old = Random(7).Fill(4096);
    SuffixIndex held;
    held.Hold(old, {{0, 0, old.size()}});
    AnchorTable anchors;
    anchors.Build(held);
    for (size_t pos = 0; pos + AnchorTable::kAnchorBytes <= old.size(); ++pos) {
        EXPECT_EQ(anchors.Longest(old.data() + pos, AnchorTable::kAnchorBytes - 1).length, 0u);
    }
}

} // namespace
} // namespace blockdiff
