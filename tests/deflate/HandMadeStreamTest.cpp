// Streams no zlib setting writes but deflate allows, made bit by bit: each parses to its
// content and is rebuilt exactly, with the choices the parse must keep.
#include "DeflateSamples.h"
#include "Parser.h"

#include <gtest/gtest.h>

#include <functional>

namespace deflatestream::test {
namespace {

void StoredBlock(BitPacker& bits, bool final, const Bytes& data, uint32_t padding) {
    bits.Bits(final, 1);
    bits.Bits(0, 2);
    bits.AlignWith(padding);
    bits.Bits(static_cast<uint32_t>(data.size()), 16);
    bits.Bits(static_cast<uint32_t>(data.size()) ^ 0xffff, 16);
    for (uint8_t byte : data) {
        bits.Bits(byte, 8);
    }
}

void FixedHeader(BitPacker& bits, bool final) {
    bits.Bits(final, 1);
    bits.Bits(1, 2);
}

struct HandMade {
    const char* name;
    std::function<void(BitPacker&)> make;
    Bytes content;
    // A check of the parse beyond the round trip, or none.
    std::function<void(const DeflateParse&)> check;
};

Bytes Repeat(uint8_t byte, size_t count) {
    return Bytes(count, byte);
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

const Bytes kHello = {'h', 'e', 'l', 'l', 'o'};

std::vector<HandMade> Cases() {
    return {
        {"EmptyFixedBlock",
         [](BitPacker& b) {
             FixedHeader(b, true);
             b.FixedSymbol(256);
         },
         {},
         {}},
        {"EmptyStoredBlock", [](BitPacker& b) { StoredBlock(b, true, {}, 0); }, {}, {}},
        {"StoredBlocksWithSetPaddingBits",
         [](BitPacker& b) {
             FixedHeader(b, false);
             b.FixedSymbol('x');
             b.FixedSymbol(256);
             StoredBlock(b, false, kHello, 0x15);
             StoredBlock(b, true, kHello, 0x1f);
         },
         Concat({'x'}, Concat(kHello, kHello)),
         [](const DeflateParse& p) { EXPECT_GE(p.blocks.size(), 7u); }},
        {"FinalPaddingBitsSet",
         [](BitPacker& b) {
             FixedHeader(b, true);
             b.FixedSymbol('q');
             b.FixedSymbol(256);
             b.AlignWith(0x3);
         },
         {'q'},
         {}},
        {"LengthOf258SpeltWithSymbol284",
         [](BitPacker& b) {
             FixedHeader(b, true);
             b.FixedSymbol('z');
             b.FixedSymbol(284);
             b.Bits(31, 5);
             b.FixedDistance(0);
             b.FixedSymbol(285); // and in the usual spelling
             b.FixedDistance(0);
             b.FixedSymbol(284);
             b.Bits(31, 5);
             b.FixedDistance(0);
             b.FixedSymbol(256);
         },
         Repeat('z', 1 + 3 * 258),
         [](const DeflateParse& p) {
             EXPECT_EQ(p.longLengths, (Bytes{0, 2}));
         }},
        {"OverlappingMatchOfDistanceOne",
         [](BitPacker& b) {
             FixedHeader(b, true);
             b.FixedSymbol('a');
             b.FixedSymbol(257 + 7); // length 10
             b.FixedDistance(0);
             b.FixedSymbol(256);
         },
         Repeat('a', 11),
         {}},
        {"SingleDistanceCodeOfOneBit",
         [](BitPacker& b) {
             PutDynamicHeader(b, {}, true);
             PutDefaultDynamicTokens(b);
         },
         Repeat('a', 4),
         {}},
        {"ManyEmptyBlocks",
         [](BitPacker& b) {
             for (int i = 0; i < 50; ++i) {
                 FixedHeader(b, false);
                 b.FixedSymbol(256);
                 StoredBlock(b, false, {}, static_cast<uint32_t>(i) & 1);
             }
             FixedHeader(b, true);
             b.FixedSymbol(256);
         },
         {},
         {}},
    };
}

class HandMadeStreams : public ::testing::TestWithParam<HandMade> {};

TEST_P(HandMadeStreams, RebuildBitForBit) {
    const HandMade& c = GetParam();
    BitPacker bits;
    c.make(bits);
    const Bytes stream = bits.Done();
    ASSERT_TRUE(RoundTrips(stream, c.content));
    if (c.check) {
        Bytes content;
        DeflateParse parse;
        std::string why;
        ASSERT_TRUE(ParseDeflate(stream.data(), stream.size(), content, parse, why));
        c.check(parse);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HandMadeStreams, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// What follows the final block is no part of the stream: the parse says where it ends.
TEST(StreamEnd, JunkAfterTheFinalBlockIsLeftAlone) {
    const Bytes content = TextLike(5000, 9);
    const Bytes stream = ZlibStream(content, 6);
    const Bytes withJunk = Concat(stream, RandomBytes(100, 4));
    Bytes inflated;
    DeflateParse parse;
    std::string why;
    ASSERT_TRUE(ParseDeflate(withJunk.data(), withJunk.size(), inflated, parse, why)) << why;
    EXPECT_EQ(parse.streamBytes, stream.size());
    EXPECT_EQ(inflated, content);
    EXPECT_TRUE(RoundTrips(stream, content));
}

} // namespace
} // namespace deflatestream::test
