// One valid delta, and one planted fault per row: each must fail with its own error, the
// same whether the delta arrives whole or byte by byte.
#include "Adler32.h"
#include "DeltaBuilder.h"
#include "TestIo.h"

#include <gtest/gtest.h>

#include <functional>

namespace vcdiff::test {
namespace {

const Bytes kSource = ToBytes("The quick brown fox jumps over the lazy dog");
const Bytes kFirstTarget = ToBytes("Hello, quick broHello!!!");
const Bytes kSecondTarget = ToBytes("abcabcabca");
constexpr uint64_t kHereAfterSecondCopy = 43 + 16; // segment length + target position

// An overflowing ten-byte integer (2^64) and an eleven-byte one.
const Bytes kOverflowInt = {0x82, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00};
const Bytes kElevenByteInt = PaddedInt(24, 10);

uint32_t Checksum(const Bytes& bytes) {
    return Adler32(kAdler32Initial, bytes.data(), bytes.size());
}

Program FirstProgram(const Bytes& firstAddress = Int(4), uint8_t secondMode = 1,
                     const Bytes& secondAddress = Int(16)) {
    Program program;
    program.Add(ToBytes("Hello, "))
        .Copy(9, 0, firstAddress)           // "quick bro" from the source
        .Copy(5, secondMode, secondAddress) // "Hello" from the target, by HERE mode
        .Run(3, '!');
    return program;
}

// The valid delta: an application header, a window copying from the source and from its own
// output, a source-less window with an overlapping copy; both with checksums.
DeltaSpec ValidDelta() {
    DeltaSpec delta;
    delta.header.indicator = 0x04;
    delta.header.rest = Int(4);
    delta.header.rest.insert(delta.header.rest.end(), {'n', 'a', 'm', 'e'});

    WindowSpec first;
    first.indicator = 0x05;
    first.segmentLength = Int(kSource.size());
    first.segmentPosition = Int(0);
    first.targetLength = Int(kFirstTarget.size());
    first.checksum = Checksum(kFirstTarget);
    first.program = FirstProgram();

    WindowSpec second;
    second.indicator = 0x04;
    second.targetLength = Int(kSecondTarget.size());
    second.checksum = Checksum(kSecondTarget);
    second.program.Add(ToBytes("abc")).Copy(7, 0, Int(0));

    delta.windows = {first, second};
    return delta;
}

Bytes ExpectedOutput() {
    Bytes out = kFirstTarget;
    out.insert(out.end(), kSecondTarget.begin(), kSecondTarget.end());
    return out;
}

TEST(ValidDelta, DecodesToTheExpectedBytesInAnyChunking) {
    MemorySource source(kSource);
    for (const size_t chunk : {0, 1, 2, 5}) {
        const Decoded result = Decode(ValidDelta().Serialize(), &source, chunk);
        ASSERT_EQ(result.error, Error::None) << result.message;
        EXPECT_EQ(result.output, ExpectedOutput());
    }
}

struct FaultCase {
    const char* name;
    std::function<void(DeltaSpec&)> plant;
    Error expected;
    DecoderLimits limits = {};
    bool giveSource = true;
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

class DamagedDelta : public ::testing::TestWithParam<FaultCase> {};

TEST_P(DamagedDelta, FailsWithItsOwnError) {
    DeltaSpec delta = ValidDelta();
    GetParam().plant(delta);
    const Bytes bytes = delta.Serialize();
    MemorySource source(kSource);
    plumbing::Source* given = GetParam().giveSource ? &source : nullptr;

    const Decoded whole = Decode(bytes, given, 0, GetParam().limits);
    EXPECT_EQ(whole.error, GetParam().expected) << whole.message;
    EXPECT_NE(whole.message.find(Describe(GetParam().expected)), std::string::npos)
        << whole.message;

    const Decoded byteByByte = Decode(bytes, given, 1, GetParam().limits);
    EXPECT_EQ(byteByByte.error, GetParam().expected) << byteByByte.message;
    EXPECT_EQ(byteByByte.message, whole.message);
}

WindowSpec& First(DeltaSpec& d) {
    return d.windows[0];
}
WindowSpec& Second(DeltaSpec& d) {
    return d.windows[1];
}

DecoderLimits TargetLimit(uint64_t bytes) {
    DecoderLimits limits;
    limits.maxTargetWindow = bytes;
    return limits;
}

DecoderLimits SectionsLimit(uint64_t bytes) {
    DecoderLimits limits;
    limits.maxDeltaWindow = bytes;
    return limits;
}

const uint64_t kFirstSections = [] {
    const Program p = FirstProgram();
    return p.data.size() + p.instructions.size() + p.addresses.size();
}();

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedDelta,
    ::testing::Values(
        // File header.
        FaultCase{"BadMagicFirstByte", [](DeltaSpec& d) { d.header.magic[0] = 0xD7; },
                  Error::BadMagic},
        FaultCase{"BadMagicLastByte", [](DeltaSpec& d) { d.header.magic[2] = 0xC5; },
                  Error::BadMagic},
        FaultCase{"UnknownVersion", [](DeltaSpec& d) { d.header.version = 1; },
                  Error::UnsupportedVersion},
        FaultCase{"ExtendedFormatVersion", [](DeltaSpec& d) { d.header.version = 'S'; },
                  Error::UnsupportedVersion},
        FaultCase{"SecondaryCompressor",
                  [](DeltaSpec& d) {
                      d.header.indicator |= 0x01;
                      d.header.rest.insert(d.header.rest.begin(), 2);
                  },
                  Error::UnsupportedCompression},
        FaultCase{"CustomCodeTable", [](DeltaSpec& d) { d.header.indicator |= 0x02; },
                  Error::UnsupportedCodeTable},
        FaultCase{"UnknownHeaderBit", [](DeltaSpec& d) { d.header.indicator |= 0x08; },
                  Error::Corrupt},
        FaultCase{"AppHeaderLengthOverflows", [](DeltaSpec& d) { d.header.rest = kOverflowInt; },
                  Error::Corrupt},
        // Window header.
        FaultCase{"UnknownWindowBit", [](DeltaSpec& d) { First(d).indicator |= 0x08; },
                  Error::Corrupt},
        FaultCase{"SourceAndTargetSegment", [](DeltaSpec& d) { First(d).indicator |= 0x02; },
                  Error::Corrupt},
        FaultCase{"CompressedDataSection", [](DeltaSpec& d) { First(d).deltaIndicator = 0x01; },
                  Error::UnsupportedCompression},
        FaultCase{"CompressedAddressSection", [](DeltaSpec& d) { Second(d).deltaIndicator = 0x04; },
                  Error::UnsupportedCompression},
        FaultCase{"UnknownDeltaIndicatorBit", [](DeltaSpec& d) { First(d).deltaIndicator = 0x08; },
                  Error::Corrupt},
        FaultCase{"SegmentOneByteTooLong",
                  [](DeltaSpec& d) { First(d).segmentLength = Int(kSource.size() + 1); },
                  Error::SourceOutOfRange},
        FaultCase{"SegmentPositionOneTooFar",
                  [](DeltaSpec& d) { First(d).segmentPosition = Int(1); }, Error::SourceOutOfRange},
        FaultCase{"SegmentPositionHuge",
                  [](DeltaSpec& d) {
                      First(d).segmentLength = Int(1);
                      First(d).segmentPosition = Int(UINT64_MAX);
                  },
                  Error::SourceOutOfRange},
        FaultCase{"SegmentLengthHuge",
                  [](DeltaSpec& d) { First(d).segmentLength = Int(UINT64_MAX); },
                  Error::SourceOutOfRange},
        FaultCase{"SegmentLengthOverflows",
                  [](DeltaSpec& d) { First(d).segmentLength = kOverflowInt; }, Error::Corrupt},
        FaultCase{"NoSourceGiven", [](DeltaSpec&) {}, Error::SourceOutOfRange, {}, false},
        FaultCase{"TargetSegmentBeyondDecodedOutput",
                  [](DeltaSpec& d) {
                      Second(d).indicator |= 0x02;
                      Second(d).segmentLength = Int(kFirstTarget.size() + 1);
                      Second(d).segmentPosition = Int(0);
                  },
                  Error::SourceOutOfRange},
        FaultCase{"DeltaLengthOneTooLarge",
                  [](DeltaSpec& d) { First(d).deltaLength = Int(First(d).Encoding().size() + 1); },
                  Error::Corrupt},
        FaultCase{"DeltaLengthOneTooSmall",
                  [](DeltaSpec& d) { First(d).deltaLength = Int(First(d).Encoding().size() - 1); },
                  Error::Corrupt},
        FaultCase{"DataLengthOneTooLarge",
                  [](DeltaSpec& d) { First(d).dataLength = Int(First(d).program.data.size() + 1); },
                  Error::Corrupt},
        FaultCase{"TargetLengthOverflows",
                  [](DeltaSpec& d) { First(d).targetLength = kOverflowInt; }, Error::Corrupt},
        FaultCase{"TargetLengthElevenBytes",
                  [](DeltaSpec& d) { First(d).targetLength = kElevenByteInt; }, Error::Corrupt},
        FaultCase{"TargetWindowOverLimit", [](DeltaSpec&) {}, Error::WindowTooLarge,
                  TargetLimit(kFirstTarget.size() - 1)},
        FaultCase{"SectionsOverLimit", [](DeltaSpec&) {}, Error::WindowTooLarge,
                  SectionsLimit(kFirstSections - 1)},
        // Sections and instructions.
        FaultCase{"TargetLengthOneTooLarge",
                  [](DeltaSpec& d) { First(d).targetLength = Int(kFirstTarget.size() + 1); },
                  Error::Corrupt},
        FaultCase{"TargetLengthOneTooSmall",
                  [](DeltaSpec& d) { First(d).targetLength = Int(kFirstTarget.size() - 1); },
                  Error::Corrupt},
        FaultCase{"UnusedDataByte", [](DeltaSpec& d) { First(d).program.data.push_back('x'); },
                  Error::Corrupt},
        FaultCase{"RunPastDataSection", [](DeltaSpec& d) { First(d).program.data.pop_back(); },
                  Error::Corrupt},
        FaultCase{"UnusedAddressByte",
                  [](DeltaSpec& d) { First(d).program.addresses.push_back(0); }, Error::Corrupt},
        FaultCase{"InstructionPastTargetEnd",
                  [](DeltaSpec& d) { First(d).program.Add(ToBytes("x")); }, Error::Corrupt},
        FaultCase{"InstructionSizeHuge",
                  [](DeltaSpec& d) { First(d).program.Run(UINT64_MAX, 'x'); }, Error::Corrupt},
        FaultCase{"InstructionSizeOverflows",
                  [](DeltaSpec& d) {
                      Bytes& inst = First(d).program.instructions;
                      inst.push_back(1);
                      inst.insert(inst.end(), kOverflowInt.begin(), kOverflowInt.end());
                  },
                  Error::Corrupt},
        FaultCase{"InstructionSizeMissing",
                  [](DeltaSpec& d) { First(d).program.instructions.push_back(1); }, Error::Corrupt},
        FaultCase{"AddressBeyondCurrentPosition",
                  [](DeltaSpec& d) { First(d).program = FirstProgram(Int(kSource.size() + 7)); },
                  Error::BadAddress},
        FaultCase{"AddressHuge",
                  [](DeltaSpec& d) { First(d).program = FirstProgram(Int(UINT64_MAX)); },
                  Error::BadAddress},
        FaultCase{"AddressOverflows",
                  [](DeltaSpec& d) { First(d).program = FirstProgram(kOverflowInt); },
                  Error::Corrupt},
        FaultCase{"HereOffsetBeforeStart",
                  [](DeltaSpec& d) {
                      First(d).program = FirstProgram(Int(4), 1, Int(kHereAfterSecondCopy + 1));
                  },
                  Error::BadAddress},
        FaultCase{
            "NearAddressOverflows",
            [](DeltaSpec& d) { First(d).program = FirstProgram(Int(4), 2, Int(UINT64_MAX - 3)); },
            Error::BadAddress},
        FaultCase{"AddressSectionEndsInsideAddress",
                  [](DeltaSpec& d) { First(d).program.addresses.back() |= 0x80; }, Error::Corrupt},
        FaultCase{"CopyBeforeAnyOutputWithoutSegment",
                  [](DeltaSpec& d) {
                      Second(d).program = Program();
                      Second(d).program.Copy(3, 0, Int(0)).Add(ToBytes("abcabca"));
                  },
                  Error::BadAddress},
        FaultCase{"ChecksumMismatch", [](DeltaSpec& d) { First(d).checksum ^= 1; },
                  Error::ChecksumMismatch},
        FaultCase{"SecondWindowChecksumMismatch",
                  [](DeltaSpec& d) { Second(d).checksum ^= 0x10000; }, Error::ChecksumMismatch}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// Cut at every byte: the decoder reports a truncated delta, except where the cut falls
// between windows, where VCDIFF cannot tell and the complete windows decode.
TEST(TruncatedDelta, FailsAtEveryCutExceptBetweenWindows) {
    const DeltaSpec spec = ValidDelta();
    const Bytes bytes = spec.Serialize();
    const size_t firstWindowStart = spec.header.Serialize().size();
    const size_t secondWindowStart = firstWindowStart + spec.windows[0].Serialize().size();
    MemorySource source(kSource);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        const Bytes prefix(bytes.begin(), bytes.begin() + cut);
        for (const size_t chunk : {0, 1}) {
            const Decoded result = Decode(prefix, &source, chunk);
            if (cut == firstWindowStart) {
                EXPECT_EQ(result.error, Error::None) << cut;
                EXPECT_TRUE(result.output.empty());
            } else if (cut == secondWindowStart) {
                EXPECT_EQ(result.error, Error::None) << cut;
                EXPECT_EQ(result.output, kFirstTarget);
            } else {
                EXPECT_EQ(result.error, Error::Truncated) << "cut at " << cut;
            }
        }
    }
}

} // namespace
} // namespace vcdiff::test
