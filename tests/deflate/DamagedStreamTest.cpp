// One fault planted per case in a valid stream: the parser refuses it with the fault's
// reason. Then the properties that hold for every damaged stream: every prefix is refused,
// and a stream with any byte changed is refused or rebuilt exactly.
#include "DeflateSamples.h"
#include "Parser.h"
#include "Writer.h"

#include <gtest/gtest.h>

#include <functional>

namespace deflatestream::test {
namespace {

void Fixed(BitPacker& b, bool final = true) {
    b.Bits(final, 1);
    b.Bits(1, 2);
}

void Stored(BitPacker& b, uint32_t length, uint32_t complement, size_t present) {
    b.Bits(1, 1);
    b.Bits(0, 2);
    b.AlignWith(0);
    b.Bits(length, 16);
    b.Bits(complement, 16);
    for (size_t i = 0; i < present; ++i) {
        b.Bits(0x41, 8);
    }
}

void Dynamic(BitPacker& b, const std::function<void(DynamicRecipe&)>& plant) {
    DynamicRecipe recipe;
    plant(recipe);
    PutDynamicHeader(b, recipe, true);
    PutDefaultDynamicTokens(b);
}

struct Fault {
    const char* name;
    std::function<void(BitPacker&)> make;
    const char* reason;
};

std::vector<Fault> Faults() {
    return {
        {"ReservedBlockType",
         [](BitPacker& b) {
             b.Bits(1, 1);
             b.Bits(3, 2);
         },
         "reserved block type"},
        {"StoredLengthNotComplemented", [](BitPacker& b) { Stored(b, 5, 0xfffa ^ 1, 5); },
         "stored block length does not match its complement"},
        {"StoredBlockClaimsMoreThanItHolds",
         [](BitPacker& b) { Stored(b, 1000, 1000 ^ 0xffff, 10); }, "the stream ends early"},
        {"DistanceBeyondTheContent",
         [](BitPacker& b) {
             Fixed(b);
             b.FixedSymbol('a');
             b.FixedSymbol(257);
             b.FixedDistance(1); // distance 2, one byte written
             b.FixedSymbol(256);
         },
         "distance beyond the content so far"},
        {"MatchAtTheStart",
         [](BitPacker& b) {
             Fixed(b);
             b.FixedSymbol(257);
             b.FixedDistance(0);
             b.FixedSymbol(256);
         },
         "distance beyond the content so far"},
        {"FixedLengthSymbol286",
         [](BitPacker& b) {
             Fixed(b);
             b.FixedSymbol('a');
             b.FixedSymbol(286);
             b.FixedDistance(0);
         },
         "invalid length symbol"},
        {"FixedDistanceSymbol30",
         [](BitPacker& b) {
             Fixed(b);
             b.FixedSymbol('a');
             b.FixedSymbol(257);
             b.FixedDistance(30);
         },
         "invalid distance symbol"},
        {"NoFinalBlock",
         [](BitPacker& b) {
             Fixed(b, false);
             b.FixedSymbol('a');
             b.FixedSymbol(256);
         },
         "the stream ends early"},
        {"TooManyLengthSymbols",
         [](BitPacker& b) { Dynamic(b, [](DynamicRecipe& s) { s.hlit = 30; }); },
         "too many length or distance symbols"},
        {"TooManyDistanceSymbols",
         [](BitPacker& b) { Dynamic(b, [](DynamicRecipe& s) { s.hdist = 30; }); },
         "too many length or distance symbols"},
        {"OverSubscribedCodeLengthCode",
         [](BitPacker& b) { Dynamic(b, [](DynamicRecipe& s) { s.codeLengthLengths[3] = 1; }); },
         "over-subscribed Huffman code"},
        {"IncompleteCodeLengthCode",
         [](BitPacker& b) { Dynamic(b, [](DynamicRecipe& s) { s.codeLengthLengths[15] = 0; }); },
         "incomplete Huffman code"},
        {"RepeatBeforeTheFirstLength",
         [](BitPacker& b) {
             Dynamic(b, [](DynamicRecipe& s) {
                 s.codeLengthLengths = {2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
                 s.sequence.insert(s.sequence.begin(), {16, 0});
             });
         },
         "repeat of a code length before the first"},
        {"ZerosPastTheLastSymbol",
         [](BitPacker& b) { Dynamic(b, [](DynamicRecipe& s) {
                                s.sequence[3] = {18, 127};
                            }); },
         "code lengths beyond the block's symbols"},
        {"NoEndOfBlockCode",
         [](BitPacker& b) {
             Dynamic(b, [](DynamicRecipe& s) {
                 // 'a' and 257 keep their lengths; 256 is sent as a zero.
                 s.codeLengthLengths = {0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2};
                 s.sequence = {{18, 86}, {1, 0}, {18, 127}, {18, 9}, {0, 0}, {2, 0}, {1, 0}};
             });
         },
         "no code for the end of the block"},
        {"IncompleteLiteralCode",
         [](BitPacker& b) {
             // 257 sent with three bits instead of two leaves a code unused.
             Dynamic(b, [](DynamicRecipe& s) {
                 s.codeLengthLengths = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 3, 0, 2};
                 s.sequence = {{18, 86}, {1, 0}, {18, 127}, {18, 9}, {2, 0}, {3, 0}, {1, 0}};
             });
         },
         "incomplete Huffman code"},
    };
}

class DamagedStreams : public ::testing::TestWithParam<Fault> {};

TEST_P(DamagedStreams, AreRefusedWithTheReason) {
    BitPacker bits;
    GetParam().make(bits);
    const Bytes stream = bits.Done();
    Bytes content;
    DeflateParse parse;
    std::string why;
    EXPECT_FALSE(ParseDeflate(stream.data(), stream.size(), content, parse, why));
    EXPECT_EQ(why, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Faults, DamagedStreams, ::testing::ValuesIn(Faults()),
                         [](const auto& info) { return std::string(info.param.name); });

// The valid stream the faults above start from parses: the faults are what is refused.
TEST(DamagedStreams, TheirValidStartParses) {
    BitPacker bits;
    Dynamic(bits, [](DynamicRecipe&) {});
    EXPECT_TRUE(RoundTrips(bits.Done(), Bytes(4, 'a')));
}

TEST(TruncatedStreams, EveryPrefixIsRefused) {
    const Bytes content = TextLike(3000, 5);
    for (int level : {0, 1, 9}) {
        const Bytes stream = ZlibStream(content, level);
        for (size_t size = 0; size < stream.size(); ++size) {
            Bytes inflated;
            DeflateParse parse;
            std::string why;
            ASSERT_FALSE(ParseDeflate(stream.data(), size, inflated, parse, why))
                << "level " << level << " prefix " << size;
            ASSERT_EQ(why, "the stream ends early") << "level " << level << " prefix " << size;
        }
    }
}

// Whatever a changed byte makes of a stream, it is refused or it is a stream the writer
// gives back exactly: never a parse that rebuilds something else.
TEST(ChangedStreams, AreRefusedOrRebuiltExactly) {
    const Bytes content = Repetitive(2000, 6);
    size_t refused = 0;
    size_t parsed = 0;
    for (int level : {1, 6}) {
        const Bytes stream = ZlibStream(content, level);
        for (size_t at = 0; at < stream.size(); ++at) {
            for (uint8_t flip : {0x01, 0x10, 0xff}) {
                Bytes changed = stream;
                changed[at] ^= flip;
                Bytes inflated;
                DeflateParse parse;
                std::string why;
                if (!ParseDeflate(changed.data(), changed.size(), inflated, parse, why)) {
                    ASSERT_FALSE(why.empty());
                    ++refused;
                    continue;
                }
                ++parsed;
                const Bytes used(changed.begin(), changed.begin() + parse.streamBytes);
                ASSERT_TRUE(RoundTrips(used, inflated)) << "byte " << at << " ^ " << int(flip);
            }
        }
    }
    // Both outcomes occur, so both branches were checked.
    EXPECT_GT(refused, 0u);
    EXPECT_GT(parsed, 0u);
}

// A bomb is only a long output: refused at the caller's limit, and parsed in full in time
// linear in what it writes when the limit allows.
TEST(Bombs, StopAtTheContentLimit) {
    const Bytes content(20u << 20, 0);
    const Bytes stream = ZlibStream(content, 9, 9, 15, 0, content.size());
    ASSERT_LT(stream.size() * 500, content.size());
    DiscardOutput discard;
    DeflateParse parse;
    std::string why;
    MemoryInput limited(stream.data(), stream.size());
    EXPECT_FALSE(ParseDeflate(limited, discard, parse, why, {1u << 20}));
    EXPECT_EQ(why, "content beyond the limit");
    MemoryInput whole(stream.data(), stream.size());
    ASSERT_TRUE(ParseDeflate(whole, discard, parse, why, {content.size()})) << why;
    EXPECT_EQ(parse.contentBytes, content.size());
}

} // namespace
} // namespace deflatestream::test
