// Encode then decode gives back the new file, for files of many shapes, with every coder and
// any number of threads.
#include "BlockTestIo.h"
#include "Shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace blockdiff::test {
namespace {

using vcdiff::test::ScatterEdits;
using vcdiff::test::StructuredBytes;

Bytes Spliced(const Bytes& bytes, size_t at, size_t removed, const Bytes& inserted) {
    Bytes out(bytes.begin(), bytes.begin() + at);
    out.insert(out.end(), inserted.begin(), inserted.end());
    out.insert(out.end(), bytes.begin() + at + removed, bytes.end());
    return out;
}

// Code moved by a few bytes whose 32-bit displacements all changed by the same amount, as a
// rebuild with one function grown makes it, with one stretch moved elsewhere.
Bytes Relocated(const Bytes& code, size_t step, uint32_t shift) {
    Bytes out = Spliced(code, 1000, 0, Random(31).Fill(37));
    for (size_t at = 2000; at + 4 < out.size(); at += step + at % 7) {
        uint32_t word =
            out[at] | out[at + 1] << 8 | out[at + 2] << 16 | uint32_t{out[at + 3]} << 24;
        word += shift;
        for (size_t i = 0; i < 4; ++i) {
            out[at + i] = static_cast<uint8_t>(word >> (8 * i));
        }
    }
    const Bytes moved(out.begin() + 50000, out.begin() + 80000);
    return Spliced(Spliced(out, 50000, 30000, {}), 150000, 0, moved);
}

struct Shape {
    Bytes old;
    Bytes next;
    bool hasOld = true;
};

const Bytes& Base() {
    static const Bytes base = StructuredBytes(200000, 1);
    return base;
}

const std::map<std::string, Shape (*)()> kShapes = {
    {"BothEmpty",
     [] {
         return Shape{{}, {}};
     }},
    {"NoOldFile",
     [] {
         return Shape{{}, StructuredBytes(5000, 3), false};
     }},
    {"EmptyOld",
     [] {
         return Shape{{}, StructuredBytes(5000, 3)};
     }},
    {"EmptyNew",
     [] {
         return Shape{Random(2).Fill(1000), {}};
     }},
    {"OneByte",
     [] {
         return Shape{ToBytes("a"), ToBytes("b")};
     }},
    {"Identical",
     [] {
         return Shape{Base(), Base()};
     }},
    {"AllNew",
     [] {
         return Shape{Random(4).Fill(60000), Random(5).Fill(70000)};
     }},
    {"ShiftedByOne",
     [] {
         return Shape{Base(), Spliced(Base(), 0, 0, {0x42})};
     }},
    {"InsertedBlock",
     [] {
         return Shape{Base(), Spliced(Base(), 90000, 0, Random(6).Fill(3000))};
     }},
    {"DeletedBlock",
     [] {
         return Shape{Base(), Spliced(Base(), 50000, 20000, {})};
     }},
    {"ScatteredEdits",
     [] {
         return Shape{Base(), ScatterEdits(Base(), 300, 8)};
     }},
    {"RelocatedCode",
     [] {
         return Shape{Base(), Relocated(Base(), 24, 0x140)};
     }},
    {"RelocatedCodeDensely",
     [] {
         return Shape{Base(), Relocated(Base(), 3, 0x01010101)};
     }},
    {"EveryByteChanged",
     [] {
         Bytes next = Base();
         for (uint8_t& byte : next) {
             byte = static_cast<uint8_t>(byte + 1);
         }
         return Shape{Base(), next};
     }},
};

std::vector<std::string> ShapeNames() {
    std::vector<std::string> names;
    for (const auto& [name, make] : kShapes) {
        names.push_back(name);
    }
    return names;
}

struct Setting {
    const char* name;
    CoderSet coders;
    unsigned threads;
};

const Setting kSettings[] = {
    {"AllCoders", kAllCoders, 2},
    {"StoreOnly", 0, 1},
    {"Deflate", CoderBit(coders::Coder::Deflate), 2},
    {"Zstd", CoderBit(coders::Coder::Zstd), 3},
    {"Xz", CoderBit(coders::Coder::Xz), 1},
};

class RoundTrip : public ::testing::TestWithParam<std::tuple<std::string, Setting>> {};

TEST_P(RoundTrip, DecodesToTheNewFile) {
    const auto& [name, setting] = GetParam();
    const Shape shape = kShapes.at(name)();
    EncoderOptions options;
    options.coders = setting.coders;
    options.threads = setting.threads;
    const Bytes payload = EncodePayload(shape.hasOld ? &shape.old : nullptr, shape.next, options);
    const Decoded result = DecodePayload(payload, shape.hasOld ? &shape.old : nullptr);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == shape.next);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RoundTrip,
                         ::testing::Combine(::testing::ValuesIn(ShapeNames()),
                                            ::testing::ValuesIn(kSettings)),
                         [](const auto& info) {
                             return std::get<0>(info.param) + "_" + std::get<1>(info.param).name;
                         });

// Relocated code costs a few bytes per changed displacement, not a copy of the code.
TEST(Encoder, RelocatedCodeGivesASmallPayload) {
    const Bytes next = Relocated(Base(), 24, 0x140);
    EncodeReport report;
    const Bytes payload = EncodePayload(&Base(), next, {}, &report);
    EXPECT_LT(payload.size(), next.size() / 40);
    EXPECT_GT(report.coveredBytes, next.size() * 99 / 100);
    EXPECT_EQ(report.denseBlocks, 0u);
}

// Every other byte changed: the differences are dense, and compress to next to nothing.
TEST(Encoder, DenseDifferencesWhereHalfTheBytesDiffer) {
    Bytes next = Base();
    for (size_t i = 1; i < next.size(); i += 2) {
        next[i] = static_cast<uint8_t>(next[i] + 1);
    }
    EncodeReport report;
    const Bytes payload = EncodePayload(&Base(), next, {}, &report);
    EXPECT_EQ(report.denseBlocks, 1u);
    EXPECT_LT(payload.size(), 1000u);
}

// More than one block, with covers cut at the blocks' edges and written in many pieces.
TEST(Encoder, LargeFileInSeveralBlocks) {
    const Bytes old = StructuredBytes(format::kMaxBlockOutput + (64u << 10), 9);
    const Bytes next = ScatterEdits(Relocated(old, 40, 0x20), 100, 10);
    EncoderOptions options;
    options.coders = 0; // compressing 8 MiB is slow under the sanitizers, and tested above
    EncodeReport report;
    const Bytes payload = EncodePayload(&old, next, options, &report);
    EXPECT_EQ(report.blocks, 2u);
    const Decoded result = DecodePayload(payload, &old);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == next);
    for (const size_t write : result.writes) {
        EXPECT_LE(write, kMaxDecoderWrite);
    }
    EXPECT_GT(result.ticks, next.size() / (1u << 20));
}

// An old file too large to index whole is indexed for each slice of the new file over the
// parts that slice resembles: here the second and the fourth of four unrelated MiB.
TEST(Encoder, LargeOldFileIndexedInParts) {
    const size_t part = 1u << 20;
    const Bytes old = Random(41).Fill(4 * part);
    Bytes next(2 * part);
    std::copy(old.begin() + part, old.begin() + 2 * part, next.begin());
    std::copy(old.begin() + 3 * part, old.end(), next.begin() + part);
    next = ScatterEdits(next, 50, 42);
    EncoderOptions options;
    options.wholeOldLimit = part;
    options.coders = CoderBit(coders::Coder::Zstd);
    EncodeReport report;
    const Bytes payload = EncodePayload(&old, next, options, &report);
    EXPECT_TRUE(report.indexedInParts);
    EXPECT_LT(payload.size(), next.size() / 100);
    const Decoded result = DecodePayload(payload, &old);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == next);
}

// Nothing of the old file resembles the new one: nothing is indexed, all is literal.
TEST(Encoder, UnrelatedFilesIndexedInParts) {
    const Bytes old = Random(43).Fill(300000);
    const Bytes next = StructuredBytes(100000, 44);
    EncoderOptions options;
    options.wholeOldLimit = 1000;
    EncodeReport report;
    const Bytes payload = EncodePayload(&old, next, options, &report);
    EXPECT_TRUE(report.indexedInParts);
    EXPECT_EQ(report.covers, 0u);
    const Decoded result = DecodePayload(payload, &old);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == next);
}

} // namespace
} // namespace blockdiff::test
