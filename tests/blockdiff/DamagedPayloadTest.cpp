// One valid payload, and one planted fault per row: each must fail with its own error, and
// nothing of a damaged block may reach the output.
#include "BlockTestIo.h"
#include "PayloadSpec.h"

#include <gtest/gtest.h>

#include <functional>

namespace blockdiff::test {
namespace {

using format::kCovers;
using format::kDifferences;
using format::kLiterals;
using format::kPositions;

Bytes OldFile(size_t size) {
    Bytes old(size);
    for (size_t i = 0; i < size; ++i) {
        old[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return old;
}

const Bytes kOld = OldFile(64);

// Adds the little-endian number `value` of `width` bytes to the bytes at `at`.
void AddNumber(Bytes& bytes, size_t at, uint32_t value, size_t width) {
    uint64_t word = 0;
    for (size_t i = 0; i < width; ++i) {
        word |= uint64_t{bytes[at + i]} << (8 * i);
    }
    word += value;
    for (size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

Bytes Slice(const Bytes& bytes, size_t from, size_t to) {
    return Bytes(bytes.begin() + from, bytes.begin() + to);
}

// Block 1, sparse: "AB", old[10, 26) with two word differences (the second cut to two bytes
// by the cover's end), "CD", old[30, 50) unchanged.
Bytes FirstOutput() {
    Bytes first = Slice(kOld, 10, 26);
    AddNumber(first, 3, 0xFF, 4);
    AddNumber(first, 14, 0x01FF, 2);
    Bytes out = ToBytes("AB");
    out.insert(out.end(), first.begin(), first.end());
    out.insert(out.end(), {'C', 'D'});
    const Bytes second = Slice(kOld, 30, 50);
    out.insert(out.end(), second.begin(), second.end());
    return out;
}

// Block 2, dense: old[5, 13) with two bytes changed, then 32 literals stored by zstd.
Bytes Literals() {
    return ToBytes("XYZWXYZWXYZWXYZWXYZWXYZWXYZWXYZW");
}

Bytes SecondOutput() {
    Bytes out = Slice(kOld, 5, 13);
    out[2] += 1;
    out[7] += 2;
    const Bytes literals = Literals();
    out.insert(out.end(), literals.begin(), literals.end());
    return out;
}

Bytes ExpectedOutput() {
    Bytes out = FirstOutput();
    const Bytes second = SecondOutput();
    out.insert(out.end(), second.begin(), second.end());
    return out;
}

PayloadSpec ValidPayload() {
    BlockSpec first;
    first.outputSize = 40;
    first.crc = Crc(FirstOutput());
    first.streams[kCovers].raw = Varints({2, Distance(10), 16, 2, Distance(4), 20});
    first.streams[kPositions].raw = Varints({3, 7});
    first.streams[kDifferences].raw = {0xFF, 0, 0, 0, 0xFF, 0x01};
    first.streams[kLiterals].raw = ToBytes("ABCD");

    BlockSpec second;
    second.outputSize = 40;
    second.crc = Crc(SecondOutput());
    second.form = static_cast<uint8_t>(format::DifferenceForm::Dense);
    second.streams[kCovers].raw = Varints({0, Distance(5), 8});
    second.streams[kDifferences].raw = {0, 0, 1, 0, 0, 0, 0, 2};
    StreamSpec& literals = second.streams[kLiterals];
    literals.coder = static_cast<uint8_t>(coders::Coder::Zstd);
    literals.raw = Literals();
    literals.stored = Compressed(coders::Coder::Zstd, literals.raw);

    PayloadSpec payload;
    payload.resultSize = 80;
    payload.blocks = {first, second};
    return payload;
}

TEST(ValidPayload, DecodesToTheExpectedBytes) {
    // A compressed stream is smaller than its raw bytes in a valid payload.
    ASSERT_LT(ValidPayload().blocks[1].streams[kLiterals].stored.size(), Literals().size());
    const Decoded result = DecodePayload(ValidPayload().Serialize(), &kOld);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_EQ(result.output, ExpectedOutput());
}

struct FaultCase {
    const char* name;
    std::function<void(PayloadSpec&)> plant;
    Error expected;
    Bytes old = kOld;
    DecodeSetup setup = {};
};

StreamSpec& Stream(PayloadSpec& p, size_t block, size_t stream) {
    return p.blocks[block].streams[stream];
}

const FaultCase kFaults[] = {
    {"BadMagic", [](PayloadSpec& p) { p.magic[0] = 'X'; }, Error::BadMagic},
    {"ResultOfTwoToTheSixtyThree", [](PayloadSpec& p) { p.resultSize = uint64_t{1} << 63; },
     Error::TooLarge},
    {"ResultLongerThanTheBlocks", [](PayloadSpec& p) { p.resultSize = 81; }, Error::Truncated},
    {"BlockPastTheResult", [](PayloadSpec& p) { p.resultSize = 79; }, Error::Corrupt},
    {"BytesAfterTheLastBlock", [](PayloadSpec& p) { p.trailing = {0}; }, Error::Corrupt},
    {"BlockOfNoOutput", [](PayloadSpec& p) { p.blocks[0].outputSize = 0; }, Error::Corrupt},
    {"BlockOverEightMiB",
     [](PayloadSpec& p) { p.blocks[0].outputSize = format::kMaxBlockOutput + 1; }, Error::TooLarge},
    {"UnknownForm", [](PayloadSpec& p) { p.blocks[0].form = 2; }, Error::Corrupt},
    {"UnknownCoder", [](PayloadSpec& p) { Stream(p, 0, kCovers).coder = 4; }, Error::UnknownCoder},
    {"UnknownCoderLast", [](PayloadSpec& p) { Stream(p, 1, kLiterals).coder = 255; },
     Error::UnknownCoder},
    {"CoversOverTheirLimit",
     [](PayloadSpec& p) {
         Stream(p, 0, kCovers).rawSize = format::kMaxCoverBytes + 1;
         Stream(p, 0, kCovers).storedSize = format::kMaxCoverBytes + 1;
     },
     Error::TooLarge},
    {"DifferencesOverTheOutput",
     [](PayloadSpec& p) {
         Stream(p, 0, kDifferences).rawSize = 41;
         Stream(p, 0, kDifferences).storedSize = 41;
     },
     Error::TooLarge},
    {"StoredLargerThanRaw", [](PayloadSpec& p) { Stream(p, 1, kLiterals).storedSize = 33; },
     Error::Corrupt},
    {"StoredStreamOfTwoSizes", [](PayloadSpec& p) { Stream(p, 0, kLiterals).storedSize = 3; },
     Error::Corrupt},
    {"CompressedStreamOfNoBytes", [](PayloadSpec& p) { Stream(p, 1, kLiterals).storedSize = 0; },
     Error::Corrupt},
    {"StreamsTogetherOverTheOutput",
     [](PayloadSpec& p) {
         Stream(p, 0, kLiterals).rawSize = 40;
         Stream(p, 0, kLiterals).storedSize = 40;
     },
     Error::Corrupt},
    {"DenseBlockWithPositions", [](PayloadSpec& p) { Stream(p, 1, kPositions).raw = {0}; },
     Error::Corrupt},
    {"StreamsPastThePayload",
     [](PayloadSpec& p) {
         Stream(p, 1, kDifferences).rawSize = 8;
         Stream(p, 1, kDifferences).storedSize = 8;
         Stream(p, 1, kDifferences).raw.resize(4);
     },
     Error::Truncated},
    {"CompressedStreamOfAnotherSize", [](PayloadSpec& p) { Stream(p, 1, kLiterals).rawSize = 31; },
     Error::StreamCorrupt},
    {"DamagedCompressedStream", [](PayloadSpec& p) { Stream(p, 1, kLiterals).stored[0] ^= 1; },
     Error::StreamCorrupt},
    {"CoverRunsPastTheOldFile", [](PayloadSpec&) {}, Error::BadCover, OldFile(45)},
    {"CoverStartsPastTheOldFile",
     [](PayloadSpec& p) {
         Stream(p, 0, kCovers).raw = Varints({2, Distance(10), 16, 2, Distance(100), 20});
     },
     Error::BadCover},
    {"CoverStartsBeforeTheOldFile",
     [](PayloadSpec& p) {
         Stream(p, 1, kCovers).raw = Varints({0, Distance(-1), 8});
     },
     Error::BadCover},
    {"CoverRunsPastTheBlock",
     [](PayloadSpec& p) {
         Stream(p, 0, kCovers).raw = Varints({2, Distance(10), 16, 2, Distance(4), 21});
     },
     Error::BadCover},
    {"CoverStartsPastTheBlock",
     [](PayloadSpec& p) {
         Stream(p, 0, kCovers).raw = Varints({2, Distance(10), 16, 100, Distance(4), 20});
     },
     Error::BadCover},
    {"EmptyCover",
     [](PayloadSpec& p) {
         Stream(p, 0, kCovers).raw = Varints({2, Distance(10), 0, 2, Distance(20), 20});
     },
     Error::BadCover},
    {"CutCoverRecord", [](PayloadSpec& p) { Stream(p, 0, kCovers).raw.pop_back(); },
     Error::Corrupt},
    {"OverlongVarintInACover",
     [](PayloadSpec& p) {
         Bytes& raw = Stream(p, 1, kCovers).raw;
         raw.insert(raw.begin(), 11, 0x80);
     },
     Error::Corrupt},
    {"TooFewLiterals", [](PayloadSpec& p) { Stream(p, 0, kLiterals).raw = ToBytes("ABC"); },
     Error::Corrupt},
    {"LiteralsLeftOver", [](PayloadSpec& p) { Stream(p, 0, kLiterals).raw = ToBytes("ABCDE"); },
     Error::Corrupt},
    {"DenseDifferencesTooFew", [](PayloadSpec& p) { Stream(p, 1, kDifferences).raw.pop_back(); },
     Error::Corrupt},
    {"DenseDifferencesLeftOver",
     [](PayloadSpec& p) { Stream(p, 1, kDifferences).raw.push_back(0); }, Error::Corrupt},
    {"SparsePositionPastTheCovers",
     [](PayloadSpec& p) {
         Stream(p, 0, kPositions).raw = Varints({3, 100});
     },
     Error::Corrupt},
    {"SparseDifferencesTooFew", [](PayloadSpec& p) { Stream(p, 0, kDifferences).raw.pop_back(); },
     Error::Corrupt},
    {"SparseDifferencesLeftOver",
     [](PayloadSpec& p) { Stream(p, 0, kDifferences).raw.push_back(1); }, Error::Corrupt},
    {"SparsePositionCut",
     [](PayloadSpec& p) {
         Stream(p, 0, kPositions).raw = {3, 0x80};
     },
     Error::Corrupt},
    {"ChecksumMismatch", [](PayloadSpec& p) { p.blocks[1].crc ^= 1; }, Error::ChecksumMismatch},
    {"OldFileUnreadable", [](PayloadSpec&) {}, Error::SourceReadFailed, kOld,
     DecodeSetup{SIZE_MAX, SIZE_MAX, true, false}},
    {"PayloadUnreadable", [](PayloadSpec&) {}, Error::PayloadReadFailed, kOld,
     DecodeSetup{SIZE_MAX, SIZE_MAX, false, true}},
    {"OutputRefused", [](PayloadSpec&) {}, Error::SinkRefused, kOld, DecodeSetup{1, SIZE_MAX}},
    {"TickSaysStop", [](PayloadSpec&) {}, Error::Stopped, kOld, DecodeSetup{SIZE_MAX, 0}},
};

class DamagedPayload : public ::testing::TestWithParam<FaultCase> {};

TEST_P(DamagedPayload, FailsWithItsErrorAndWritesOnlyWholeGoodBlocks) {
    const FaultCase& fault = GetParam();
    PayloadSpec spec = ValidPayload();
    fault.plant(spec);
    const Decoded result = DecodePayload(spec.Serialize(), &fault.old, fault.setup);
    EXPECT_EQ(result.error, fault.expected) << result.message;
    EXPECT_FALSE(result.message.empty());
    const Bytes expected = ExpectedOutput();
    EXPECT_TRUE(result.output.empty() || result.output == FirstOutput() ||
                result.output == expected)
        << result.output.size() << " bytes written";
}

INSTANTIATE_TEST_SUITE_P(Faults, DamagedPayload, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedPayload, NoOldFileFailsAtTheFirstCover) {
    const Decoded result = DecodePayload(ValidPayload().Serialize(), nullptr);
    EXPECT_EQ(result.error, Error::BadCover) << result.message;
}

TEST(DamagedPayload, EveryCutFailsAsTruncated) {
    const Bytes payload = ValidPayload().Serialize();
    for (size_t length = 0; length < payload.size(); ++length) {
        const Decoded result = DecodePayload(Slice(payload, 0, length), &kOld);
        ASSERT_EQ(result.error, Error::Truncated) << "cut at " << length << ": " << result.message;
        ASSERT_TRUE(result.output.empty() || result.output == FirstOutput()) << length;
    }
}

} // namespace
} // namespace blockdiff::test
