// The decoder's behaviour beyond plain decoding: streaming output, stopping, sticky errors,
// windows that copy from earlier output, and 64-bit source offsets.
#include "DeltaBuilder.h"
#include "TestIo.h"

#include <gtest/gtest.h>

namespace vcdiff::test {
namespace {

DeltaSpec OneWindow(const Program& program, uint64_t targetLength) {
    DeltaSpec delta;
    WindowSpec window;
    window.targetLength = Int(targetLength);
    window.program = program;
    delta.windows.push_back(window);
    return delta;
}

TEST(Decoder, WritesLargeWindowsInPiecesOfAtMostOneMiB) {
    const uint64_t length = 3 * kMaxDecoderWrite + 12345;
    const Decoded result =
        Decode(OneWindow(Program().Run(length, 'x'), length).Serialize(), nullptr);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_EQ(result.output, Bytes(length, 'x'));
    EXPECT_EQ(result.writes,
              (std::vector<size_t>{kMaxDecoderWrite, kMaxDecoderWrite, kMaxDecoderWrite, 12345}));
}

TEST(Decoder, StopsAtOnceWhenTheSinkRefusesAndStaysFailed) {
    const uint64_t length = 3 * kMaxDecoderWrite;
    const Bytes delta = OneWindow(Program().Run(length, 'x'), length).Serialize();
    MemorySink sink;
    sink.refuseAfter = 1;
    Decoder decoder(nullptr, sink);
    EXPECT_FALSE(decoder.Feed(delta.data(), delta.size()));
    EXPECT_EQ(decoder.error(), Error::SinkRefused);
    EXPECT_EQ(sink.attempts, 2u);
    // Sticky: more input and the end change nothing.
    EXPECT_FALSE(decoder.Feed(delta.data(), delta.size()));
    EXPECT_FALSE(decoder.Finish());
    EXPECT_EQ(decoder.error(), Error::SinkRefused);
    EXPECT_EQ(sink.attempts, 2u);
}

TEST(Decoder, EmptyInputIsTruncatedAndAHeaderAloneIsAnEmptyResult) {
    EXPECT_EQ(Decode({}, nullptr).error, Error::Truncated);
    const Decoded headerOnly = Decode(DeltaSpec().Serialize(), nullptr, 1);
    EXPECT_EQ(headerOnly.error, Error::None) << headerOnly.message;
    EXPECT_TRUE(headerOnly.output.empty());
    const Decoded emptyWindow = Decode(OneWindow(Program(), 0).Serialize(), nullptr);
    EXPECT_EQ(emptyWindow.error, Error::None) << emptyWindow.message;
}

TEST(Decoder, AcceptsOverlongButValidIntegers) {
    DeltaSpec delta = OneWindow(Program().Add(ToBytes("hello")), 5);
    delta.windows[0].targetLength = PaddedInt(5, 3);
    const Decoded result = Decode(delta.Serialize(), nullptr, 1);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_EQ(result.output, ToBytes("hello"));
}

TEST(Decoder, AcceptsWindowsExactlyAtTheLimits) {
    const Program program = Program().Add(ToBytes("0123456789"));
    DecoderLimits limits;
    limits.maxTargetWindow = 10;
    limits.maxDeltaWindow = program.data.size() + program.instructions.size();
    const Decoded result = Decode(OneWindow(program, 10).Serialize(), nullptr, 0, limits);
    EXPECT_EQ(result.error, Error::None) << result.message;
}

// The address space is the segment followed by the target window, so a copy may start in
// the segment and run on into the bytes it has just produced.
TEST(Decoder, CopyRunsOnFromTheSegmentIntoTheTarget) {
    DeltaSpec delta = OneWindow(Program().Copy(9, 0, Int(3)), 9);
    delta.windows[0].indicator = 0x01;
    delta.windows[0].segmentLength = Int(6);
    delta.windows[0].segmentPosition = Int(0);
    MemorySource source(ToBytes("abcdef"));
    const Decoded result = Decode(delta.Serialize(), &source);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_EQ(result.output, ToBytes("defdefdef"));
}

DeltaSpec CopyFromEarlierOutput() {
    DeltaSpec delta = OneWindow(Program().Add(ToBytes("0123456789")), 10);
    WindowSpec second;
    second.indicator = 0x02;
    second.segmentLength = Int(4);
    second.segmentPosition = Int(3);
    second.targetLength = Int(9);
    second.program.Copy(4, 0, Int(0)).Add(ToBytes("!")).Copy(4, 0, Int(0));
    delta.windows.push_back(second);
    return delta;
}

TEST(Decoder, TargetWindowsCopyFromEarlierOutput) {
    const Decoded result = Decode(CopyFromEarlierOutput().Serialize(), nullptr, 1);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_EQ(result.output, ToBytes("01234567893456!3456"));
}

TEST(Decoder, TargetWindowsNeedAReaderOfEarlierOutput) {
    const Bytes delta = CopyFromEarlierOutput().Serialize();
    MemorySink sink;
    Decoder decoder(nullptr, sink);
    EXPECT_FALSE(decoder.Feed(delta.data(), delta.size()));
    EXPECT_EQ(decoder.error(), Error::SourceOutOfRange);
    EXPECT_EQ(decoder.windowsDecoded(), 1u);
    EXPECT_NE(decoder.message().find("window 1"), std::string::npos) << decoder.message();
}

// A source of several GiB that exists only as a formula, and counts what is read of it.
class HugeSource : public plumbing::Source {
public:
    static uint8_t ByteAt(uint64_t offset) {
        return static_cast<uint8_t>((offset >> 32) * 31 + offset * 7 + (offset >> 9));
    }
    uint64_t Size() const override { return 6ull << 30; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > Size() || length > Size() - offset) {
            return false;
        }
        bytesRead += length;
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < length; ++i) {
            out[i] = ByteAt(offset + i);
        }
        return true;
    }
    uint64_t bytesRead = 0;
};

Bytes Expected(uint64_t offset, size_t length) {
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = HugeSource::ByteAt(offset + i);
    }
    return bytes;
}

struct HugeCase {
    const char* name;
    uint64_t segmentPosition;
};

class HugeOffsets : public ::testing::TestWithParam<HugeCase> {};

// Short copies go through the read cache, a long one is read straight; across the 4 GiB
// boundary and above it; only what the copies need is read.
TEST_P(HugeOffsets, CopiesFromSegmentsBeyondFourGiB) {
    const uint64_t position = GetParam().segmentPosition;
    const uint64_t segmentLength = 300000;
    DeltaSpec delta = OneWindow(Program()
                                    .Copy(200, 0, Int(0))
                                    .Copy(100000, 0, Int(150000))
                                    .Copy(50, 0, Int(segmentLength - 50)),
                                100250);
    delta.windows[0].indicator = 0x01;
    delta.windows[0].segmentLength = Int(segmentLength);
    delta.windows[0].segmentPosition = Int(position);

    Bytes expected = Expected(position, 200);
    const Bytes middle = Expected(position + 150000, 100000);
    const Bytes tail = Expected(position + segmentLength - 50, 50);
    expected.insert(expected.end(), middle.begin(), middle.end());
    expected.insert(expected.end(), tail.begin(), tail.end());

    HugeSource source;
    const Decoded result = Decode(delta.Serialize(), &source, 3);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == expected);
    EXPECT_LT(source.bytesRead, 100000u + 4 * 65536);
}

INSTANTIATE_TEST_SUITE_P(Offsets, HugeOffsets,
                         ::testing::Values(HugeCase{"AcrossFourGiB", (4ull << 30) - 100},
                                           HugeCase{"AboveFourGiB", (5ull << 30) + 12345},
                                           HugeCase{"AtTheEnd", (6ull << 30) - 300000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Decoder, SegmentEndingOneByteBeyondAHugeSourceIsRefused) {
    DeltaSpec delta = OneWindow(Program().Copy(1, 0, Int(0)), 1);
    delta.windows[0].indicator = 0x01;
    delta.windows[0].segmentLength = Int(2);
    delta.windows[0].segmentPosition = Int((6ull << 30) - 1);
    HugeSource source;
    EXPECT_EQ(Decode(delta.Serialize(), &source).error, Error::SourceOutOfRange);
}

} // namespace
} // namespace vcdiff::test
