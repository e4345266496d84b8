// A payload's covers choose which old bytes are read, so a hostile one can ask for a byte here
// and a byte there in a pattern that defeats the old file's cache. Whatever the pattern, the
// bytes read from the old file stay within the cache's budget for the bytes written, and every
// byte still comes out right.
#include "BlockTestIo.h"
#include "CachedReader.h"
#include "PayloadSpec.h"

#include <gtest/gtest.h>

#include <functional>

namespace blockdiff::test {
namespace {

using format::kCovers;
using plumbing::CachedReader;

constexpr uint64_t kBlock = CachedReader::kBlockSize;
// Places this far apart shared a set of the set-associative cache this one replaced.
constexpr uint64_t kFarApart = 64 * kBlock;

// Counts what the decoder asks of the old file.
class CountingSource : public plumbing::Source {
public:
    explicit CountingSource(const Bytes& bytes) : inner_(bytes) {}
    uint64_t Size() const override { return inner_.Size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        ++calls;
        bytes += length;
        return inner_.Read(offset, buffer, length);
    }

    uint64_t calls = 0;
    uint64_t bytes = 0;

private:
    MemorySource inner_;
};

struct CoverPattern {
    const char* name;
    uint64_t oldSize;
    uint32_t coverLength;
    // The old offset of the i-th cover.
    std::function<uint64_t(size_t)> place;
};

constexpr size_t kCoversPerBlock = 32 * 1024;
constexpr size_t kBlocks = 3;

// Covers back to back, `kCoversPerBlock` to a block, no literals and no differences.
PayloadSpec PayloadOf(const CoverPattern& pattern, const Bytes& old, Bytes& expected) {
    PayloadSpec payload;
    for (size_t b = 0; b < kBlocks; ++b) {
        BlockSpec block;
        Bytes output;
        Bytes& records = block.streams[kCovers].raw;
        uint64_t oldEnd = 0;
        for (size_t i = 0; i < kCoversPerBlock; ++i) {
            const uint64_t start = pattern.place(b * kCoversPerBlock + i);
            const int64_t distance =
                i == 0 ? static_cast<int64_t>(start) : static_cast<int64_t>(start - oldEnd);
            const Bytes record = Varints({0, Distance(distance), pattern.coverLength});
            records.insert(records.end(), record.begin(), record.end());
            output.insert(output.end(), old.begin() + start,
                          old.begin() + start + pattern.coverLength);
            oldEnd = start + pattern.coverLength;
        }
        block.outputSize = static_cast<uint32_t>(output.size());
        block.crc = Crc(output);
        payload.blocks.push_back(block);
        expected.insert(expected.end(), output.begin(), output.end());
    }
    payload.resultSize = expected.size();
    return payload;
}

class OldReadBound : public ::testing::TestWithParam<CoverPattern> {};

TEST_P(OldReadBound, ReadsAtMostTheBudgetForTheBytesWritten) {
    const CoverPattern& pattern = GetParam();
    const Bytes old = Random(11).Fill(pattern.oldSize);
    Bytes expected;
    const Bytes payload = PayloadOf(pattern, old, expected).Serialize();

    MemorySource payloadIn(payload);
    CountingSource oldIn(old);
    MemorySink sink;
    Failure failure;
    ASSERT_TRUE(Decode(payloadIn, &oldIn, sink, {}, failure)) << failure.Message();
    EXPECT_TRUE(sink.bytes == expected);
    const uint64_t written = expected.size();
    EXPECT_LE(oldIn.bytes, CachedReader::kLoadFactor * written + CachedReader::kFreeLoad)
        << oldIn.calls << " reads for " << written << " bytes written";
    // Each read brings at least one byte the output needs, or loads a block within the budget.
    EXPECT_LE(oldIn.calls, written + CachedReader::kFreeLoad / kBlock);
}

uint64_t Cycle(size_t i, size_t places, uint64_t stride) {
    return 3 + (i % places) * stride;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, OldReadBound,
    ::testing::Values(
        // Five places, one more than a set of four ways held: that cache missed on each.
        CoverPattern{"OneByteCyclingOverFivePlacesFarApart", 6 * kFarApart, 1,
                     [](size_t i) { return Cycle(i, 5, kFarApart); }},
        CoverPattern{"OneByteCyclingOverMoreBlocksThanTheCache",
                     (CachedReader::kBlockCount + 2) * kBlock, 1,
                     [](size_t i) { return Cycle(i, CachedReader::kBlockCount + 1, kBlock); }},
        CoverPattern{"ShortCoversScatteredOverALargeFile", 24u << 20, 3,
                     [](size_t i) { return (i * 2654435761u) % ((24u << 20) - 3); }},
        CoverPattern{"CoversAcrossBlockBoundaries", 8 * kFarApart, 16,
                     [](size_t i) { return Cycle(i, 7, kFarApart) + kBlock - 8; }},
        // The common case, for contrast: the cache serves it with a block per 8 KiB.
        CoverPattern{"SequentialCovers", 4u << 20, 40,
                     [](size_t i) { return i * 40 % ((4u << 20) - 40); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace blockdiff::test
