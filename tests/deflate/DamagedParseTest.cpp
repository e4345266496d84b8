// The parse a patch carries is as hostile as a stream: one fault planted per case in a
// valid parse or its content, refused by the writer with the fault's reason; and any byte
// of a serialized parse changed is refused or written without harm.
#include "DeflateSamples.h"
#include "ParseBytes.h"
#include "Parser.h"
#include "Writer.h"

#include <gtest/gtest.h>

#include <functional>

namespace deflatestream::test {
namespace {

struct Parsed {
    Bytes stream;
    Bytes content;
    DeflateParse parse;
};

Parsed Parse(const Bytes& stream) {
    Parsed p{stream, {}, {}};
    std::string why;
    EXPECT_TRUE(ParseDeflate(stream.data(), stream.size(), p.content, p.parse, why)) << why;
    return p;
}

// A dynamic block of "aaaa" whose code has no other literal.
Parsed OnlyA() {
    BitPacker bits;
    PutDynamicHeader(bits, {}, true);
    PutDefaultDynamicTokens(bits);
    return Parse(bits.Done());
}

// zlib's stream of text: many matches in dynamic blocks.
Parsed Text() {
    return Parse(ZlibStream(TextLike(20000, 7), 6));
}

Parsed With258() {
    BitPacker b;
    b.Bits(1, 1);
    b.Bits(1, 2);
    b.FixedSymbol('z');
    b.FixedSymbol(284);
    b.Bits(31, 5);
    b.FixedDistance(0);
    b.FixedSymbol(257);
    b.FixedDistance(0);
    b.FixedSymbol(256);
    return Parse(b.Done());
}

struct Fault {
    const char* name;
    Parsed (*start)();
    std::function<void(Parsed&)> plant;
    const char* reason;
};

std::vector<Fault> Faults() {
    return {
        {"LiteralWithoutACode", OnlyA, [](Parsed& p) { p.content[0] = 'b'; },
         "the parse asks for a symbol its code lacks"},
        {"ContentEndsEarly", Text, [](Parsed& p) { p.content.pop_back(); },
         "the content ends early"},
        {"ContentGoesOn", Text, [](Parsed& p) { p.content.push_back('x'); },
         "the content does not end with the final block"},
        {"BlocksGoOn", Text, [](Parsed& p) { p.parse.blocks.push_back(0); },
         "the parse goes on after the final block"},
        {"RunsGoOn", Text, [](Parsed& p) { p.parse.literalRuns.push_back(0); },
         "the parse goes on after the final block"},
        {"DistanceBeyondTheContent", Text,
         [](Parsed& p) {
             p.parse.distances.clear();
             PutVarint(p.parse.distances, 30000);
         },
         "distance beyond the content so far"},
        {"DistanceBeyondTheWindow", OnlyA,
         [](Parsed& p) {
             p.parse.distances.clear();
             PutVarint(p.parse.distances, 32768);
         },
         "the parse is damaged"},
        {"LongSpellingOfAShortMatch", With258, [](Parsed& p) { p.parse.longLengths = {1}; },
         "the parse is damaged"},
        {"LongSpellingTwiceAtOneMatch", With258,
         [](Parsed& p) {
             p.parse.longLengths = {0, 0};
         },
         "the parse is damaged"},
        {"StreamLengthDiffers", Text, [](Parsed& p) { ++p.parse.streamBytes; },
         "the stream's length differs from the parse's"},
        {"PaddingWiderThanTheGap", OnlyA, [](Parsed& p) { p.parse.blocks.back() = 0xff; },
         "the parse is damaged"},
        {"ReservedBlockType", OnlyA, [](Parsed& p) { p.parse.blocks[0] = 7; },
         "the parse is damaged"},
        {"TooManyLengthSymbols", OnlyA, [](Parsed& p) { p.parse.blocks[2] = 30; },
         "the parse is damaged"},
        // The block's byte, its match count, three counts, 18 code-length code lengths,
        // then the first code-length symbol (18) and its extra bits.
        {"CodeLengthRepeatFirst", OnlyA,
         [](Parsed& p) {
             p.parse.blocks[23] = 16;
             p.parse.blocks[24] = 0;
         },
         "repeat of a code length before the first"},
        {"CodeLengthExtraTooWide", OnlyA, [](Parsed& p) { p.parse.blocks[24] = 128; },
         "bad code-length symbol"},
    };
}

class DamagedParses : public ::testing::TestWithParam<Fault> {};

TEST_P(DamagedParses, AreRefusedWithTheReason) {
    Parsed p = GetParam().start();
    Bytes stream;
    std::string why;
    // The parse as made writes its stream: the fault is what is refused.
    ASSERT_TRUE(WriteDeflate(p.parse, p.content.data(), p.content.size(), stream, why)) << why;
    ASSERT_EQ(stream, p.stream);
    GetParam().plant(p);
    EXPECT_FALSE(WriteDeflate(p.parse, p.content.data(), p.content.size(), stream, why));
    EXPECT_EQ(why, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Faults, DamagedParses, ::testing::ValuesIn(Faults()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChangedParses, AreRefusedOrWrittenWithoutHarm) {
    const Parsed p = Parse(ZlibStream(Repetitive(3000, 8), 9));
    const Bytes serialized = SerializeParse(p.parse);
    size_t unread = 0;
    size_t refused = 0;
    size_t written = 0;
    for (size_t at = 0; at < serialized.size(); ++at) {
        for (uint8_t flip : {0x01, 0x80, 0xff}) {
            Bytes changed = serialized;
            changed[at] ^= flip;
            DeflateParse parse;
            if (!DeserializeParse(changed.data(), changed.size(), parse)) {
                ++unread;
                continue;
            }
            Bytes stream;
            std::string why;
            if (WriteDeflate(parse, p.content.data(), p.content.size(), stream, why)) {
                EXPECT_EQ(stream.size(), parse.streamBytes);
                ++written;
            } else {
                EXPECT_FALSE(why.empty());
                ++refused;
            }
        }
    }
    EXPECT_GT(unread, 0u);
    EXPECT_GT(refused, 0u);
    EXPECT_GT(written, 0u);
}

} // namespace
} // namespace deflatestream::test
