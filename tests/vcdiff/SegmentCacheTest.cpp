// Short copies that jump between places in the source go through the segment reader's
// block cache; whatever the pattern, each copy must bring exactly the bytes at its address.
#include "CachedReader.h"
#include "DeltaBuilder.h"
#include "TestIo.h"

#include <gtest/gtest.h>

namespace vcdiff::test {
namespace {

constexpr size_t kBlock = plumbing::CachedReader::kBlockSize;
// Places this far apart shared a set of the set-associative cache this one replaced.
constexpr size_t kFarApart = 64 * kBlock;

struct CachePattern {
    const char* name;
    std::vector<uint64_t> places; // copies take turns among these source offsets
    size_t copies;
};

class SegmentCache : public ::testing::TestWithParam<CachePattern> {};

// Copies (SELF mode) of 1 to 300 bytes, each from the next place in turn and a little
// further on each round, so copies also cross block boundaries.
TEST_P(SegmentCache, AlternatingCopiesBringTheRightBytes) {
    // Not a multiple of the block size: the last block is a short one.
    const Bytes old = Random(7).Fill(5 * 1024 * 1024 + 12345);
    const CachePattern& pattern = GetParam();
    Bytes expected;
    Program program;
    for (size_t i = 0; i < pattern.copies; ++i) {
        const uint64_t place = pattern.places[i % pattern.places.size()];
        const uint64_t offset =
            std::min<uint64_t>(place + (i / pattern.places.size()) * 97, old.size() - 1);
        const size_t length = std::min<size_t>(1 + (i * 31) % 300, old.size() - offset);
        program.Copy(length, 0, Int(offset));
        expected.insert(expected.end(), old.begin() + offset, old.begin() + offset + length);
    }
    WindowSpec window;
    window.indicator = 0x01;
    window.segmentLength = Int(old.size());
    window.segmentPosition = Int(0);
    window.targetLength = Int(expected.size());
    window.program = program;
    DeltaSpec delta;
    delta.windows = {window};

    MemorySource source(old);
    const Decoded result = Decode(delta.Serialize(), &source);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == expected);
}

std::vector<uint64_t> Spread(size_t count, uint64_t step, uint64_t first) {
    std::vector<uint64_t> places;
    for (size_t i = 0; i < count; ++i)
        places.push_back(first + i * step);
    return places;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, SegmentCache,
    ::testing::Values(CachePattern{"TwoDistantPlaces", {100, 4 * 1024 * 1024 + 7}, 4000},
                      CachePattern{"AcrossABlockBoundary", {kBlock - 150, 3 * kBlock - 10}, 2000},
                      CachePattern{"FourPlacesFarApart", Spread(4, kFarApart, 5), 4000},
                      CachePattern{"SevenPlacesFarApart", Spread(7, kFarApart + 1, 3), 6000},
                      CachePattern{
                          "MorePlacesThanBlocks",
                          Spread(plumbing::CachedReader::kBlockCount + 9, 2 * kBlock + 1, 3), 6000},
                      CachePattern{"UpToTheSourcesEnd", {0, 5 * 1024 * 1024 + 12000}, 2000}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vcdiff::test
