// One valid stream per coder, and one planted fault per row: each must be refused as
// corrupt, never decoded into wrong output or beyond the buffer.
#include "Samples.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace coders::test {
namespace {

const Bytes& ValidInput() {
    static const Bytes input = TextLike(64u << 10, 7);
    return input;
}

struct Damaged {
    Bytes stream;
    size_t expectedSize;
};

struct Fault {
    const char* name;
    std::function<void(Damaged&)> plant;
    // Faults that a coder cannot notice by its nature (a changed byte in stored data) are
    // left to the checksum of the patch block.
    bool appliesToStore;
};

const Fault kFaults[] = {
    {"CutByOneByte", [](Damaged& d) { d.stream.pop_back(); }, true},
    {"CutInHalf", [](Damaged& d) { d.stream.resize(d.stream.size() / 2); }, true},
    {"NoBytesAtAll", [](Damaged& d) { d.stream.clear(); }, true},
    {"FirstByteFlipped", [](Damaged& d) { d.stream.front() ^= 0xFF; }, false},
    {"TrailingZeroByte", [](Damaged& d) { d.stream.push_back(0); }, true},
    {"SecondStreamAppended",
     [](Damaged& d) {
         const Bytes copy = d.stream;
         d.stream.insert(d.stream.end(), copy.begin(), copy.end());
     },
     true},
    {"ExpectedSizeOneLess", [](Damaged& d) { --d.expectedSize; }, true},
    {"ExpectedSizeOneMore", [](Damaged& d) { ++d.expectedSize; }, true},
    {"ExpectedSizeZero", [](Damaged& d) { d.expectedSize = 0; }, true},
};

class DamagedStream : public ::testing::TestWithParam<std::tuple<Coder, size_t>> {};

TEST_P(DamagedStream, IsRefusedAsCorrupt) {
    const auto& [coder, faultIndex] = GetParam();
    const Fault& fault = kFaults[faultIndex];
    if (coder == Coder::Store && !fault.appliesToStore) {
        GTEST_SKIP() << "stored bytes carry no check of their own";
    }
    Damaged damaged{Encoded(coder, ValidInput()), ValidInput().size()};
    Bytes output;
    ASSERT_EQ(DecodeInto(coder, damaged.stream, damaged.expectedSize, output), DecodeResult::Ok);
    fault.plant(damaged);
    EXPECT_EQ(DecodeInto(coder, damaged.stream, damaged.expectedSize, output),
              DecodeResult::Corrupt);
}

INSTANTIATE_TEST_SUITE_P(AllFaults, DamagedStream,
                         ::testing::Combine(::testing::ValuesIn(kAllCoders),
                                            ::testing::Range(size_t{0}, std::size(kFaults))),
                         [](const auto& info) {
                             return std::string(CoderName(std::get<0>(info.param))) + "_" +
                                    kFaults[std::get<1>(info.param)].name;
                         });

// The end of a zlib stream is its Adler-32 and the end of an LZMA2 stream its end marker.
TEST(DamagedStream, LastByteFlippedIsRefusedByTheCodersThatEndWithACheck) {
    for (const Coder coder : {Coder::Deflate, Coder::Xz}) {
        Bytes stream = Encoded(coder, ValidInput());
        stream.back() ^= 0xFF;
        Bytes output;
        EXPECT_EQ(DecodeInto(coder, stream, ValidInput().size(), output), DecodeResult::Corrupt)
            << CoderName(coder);
    }
}

TEST(DamagedStream, AStreamOfAnotherCoderIsRefused) {
    for (const Coder made : kCompressingCoders) {
        const Bytes stream = Encoded(made, ValidInput());
        for (const Coder read : kAllCoders) {
            if (read != made) {
                Bytes output;
                EXPECT_EQ(DecodeInto(read, stream, ValidInput().size(), output),
                          DecodeResult::Corrupt)
                    << CoderName(made) << " read as " << CoderName(read);
            }
        }
    }
}

TEST(DamagedStream, AValueThatNamesNoCoderIsRefused) {
    const Bytes stream = ValidInput();
    for (const uint8_t value : {kCoderCount, uint8_t{0xFF}}) {
        ASSERT_FALSE(IsCoder(value));
        Bytes output;
        EXPECT_EQ(DecodeInto(static_cast<Coder>(value), stream, stream.size(), output),
                  DecodeResult::Corrupt);
        EXPECT_EQ(CoderName(static_cast<Coder>(value)), nullptr);
    }
}

} // namespace
} // namespace coders::test
