// Encode then decode gives back the target, for many shapes and encoder settings.
#include "Shapes.h"
#include "TestIo.h"

#include <gtest/gtest.h>

namespace vcdiff::test {
namespace {

struct Setting {
    const char* name;
    EncoderOptions options;
    bool withSource;
};

EncoderOptions Options(uint32_t window, uint32_t segment, bool checksum, uint32_t depth = 64) {
    EncoderOptions options;
    options.targetWindow = window;
    options.maxSourceSegment = segment;
    options.windowChecksum = checksum;
    options.searchDepth = depth;
    return options;
}

const Setting kSettings[] = {
    {"Defaults", {}, true},
    {"NoSource", {}, false},
    {"NoChecksum", Options(8u << 20, 32u << 20, false), true},
    // Many windows, each matched against a moving segment of the source.
    {"SmallWindows", Options(4096, 16384, true), true},
    {"SmallWindowsNoSource", Options(4096, 16384, true), false},
    // No hash chains: each window indexes the segment anew.
    {"NoChains", Options(8u << 20, 32u << 20, true, 1), true},
    {"NoChainsSmallWindows", Options(4096, 16384, true, 1), true},
};

class RoundTrip : public ::testing::TestWithParam<std::tuple<std::string, Setting>> {};

TEST_P(RoundTrip, DecodesToTheTarget) {
    const auto& [name, setting] = GetParam();
    const Shape& shape = SmallShape(name);
    const Bytes delta =
        Encode(setting.withSource ? &shape.before : nullptr, shape.after, setting.options);
    MemorySource source(shape.before);
    // Byte by byte where that stays quick.
    const Decoded result = Decode(delta, &source, delta.size() < 20000 ? 1 : 4093);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == shape.after);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RoundTrip,
                         ::testing::Combine(::testing::ValuesIn(SmallShapeNames()),
                                            ::testing::ValuesIn(kSettings)),
                         [](const auto& info) {
                             return std::get<0>(info.param) + "_" + std::get<1>(info.param).name;
                         });

// Deltas of similar files are small: the encoder finds what the old file shares.
TEST(Encoder, DeltaOfSimilarFilesIsSmall) {
    const Bytes before = StructuredBytes(1u << 20, 11);
    const Bytes edited = ScatterEdits(before, 100, 12);
    for (uint32_t depth : {64u, 1u}) {
        SCOPED_TRACE(depth);
        const EncoderOptions options = Options(8u << 20, 32u << 20, true, depth);
        EXPECT_LT(Encode(&before, before, options).size(), 200u);
        // Each edit costs at most its new bytes plus a few bytes of instructions and addresses.
        EXPECT_LT(Encode(&before, edited, options).size(), 100u * (16 + 12));
    }
}

// In data of a few letters every short string occurs thousands of times, so a short hash finds the
// old place of the bytes after an insertion or a removal only by chance; the old data must
// still be found again right after each edit.
TEST(Encoder, DeltaOfLowEntropyFilesIsSmall) {
    Bytes before = Random(15).Fill(1u << 20);
    for (uint8_t& byte : before)
        byte = "ACGT"[byte % 4];
    const Bytes edited = ScatterEdits(before, 100, 16);
    // A short copy from elsewhere may bridge the few bytes before the old place is found.
    EXPECT_LT(Encode(&before, edited).size(), 100u * (16 + 16));
}

// A target larger than one window, against a source larger than one segment: windows
// follow the source even where an insertion has moved everything.
TEST(Encoder, LargeFileAcrossWindowsAndSegments) {
    const Bytes before = StructuredBytes(3u << 19, 13);
    Bytes after = before;
    after.insert(after.begin() + 100000, 100000, 0x5A);
    after = ScatterEdits(after, 200, 14);
    EncoderOptions options;
    options.targetWindow = 1u << 18;
    options.maxSourceSegment = 1u << 18;
    const Bytes delta = Encode(&before, after, options);
    MemorySource source(before);
    const Decoded result = Decode(delta, &source, 65536);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == after);
    EXPECT_LT(delta.size(), 200u * (16 + 12) + 1000);
}

TEST(Encoder, ReportsProgressAndStopsWhenAsked) {
    const Bytes target = StructuredBytes(100000, 15);
    MemorySource in(target);
    MemorySink out;
    EncoderOptions options;
    options.targetWindow = 30000;
    std::vector<uint64_t> seen;
    const Error error = vcdiff::Encode(nullptr, in, out, options, [&](uint64_t done) {
        seen.push_back(done);
        return seen.size() < 2;
    });
    EXPECT_EQ(error, Error::Cancelled);
    EXPECT_EQ(seen, (std::vector<uint64_t>{30000, 60000}));
}

TEST(Encoder, FailsWhenTheSinkRefuses) {
    const Bytes target = StructuredBytes(1000, 16);
    MemorySource in(target);
    MemorySink out;
    out.refuseAfter = 1;
    EXPECT_EQ(vcdiff::Encode(nullptr, in, out), Error::SinkRefused);
}

class FailingSource : public plumbing::Source {
public:
    uint64_t Size() const override { return 1000; }
    bool Read(uint64_t, void*, size_t) override { return false; }
};

TEST(Encoder, FailsWhenASourceCannotBeRead) {
    FailingSource failing;
    MemorySource fine(StructuredBytes(1000, 17));
    MemorySink out;
    EXPECT_EQ(vcdiff::Encode(&failing, fine, out), Error::SourceReadFailed);
    EXPECT_EQ(vcdiff::Encode(&fine, failing, out), Error::SourceReadFailed);
}

} // namespace
} // namespace vcdiff::test
