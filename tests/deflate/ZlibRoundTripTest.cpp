// Every stream zlib writes, at every level and strategy and at the edges of its memory and
// window settings, parses to its content and is rebuilt from the parse byte for byte; and
// the zlib search finds settings that give the stream again.
#include "DeflateSamples.h"
#include "Parser.h"
#include "ZlibParameters.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace deflatestream::test {
namespace {

const char* const kContents[] = {"empty", "byte", "text", "random", "repetitive"};

const Bytes& Content(const std::string& name) {
    static std::map<std::string, Bytes> cache = {{"empty", {}},
                                                 {"byte", {'Q'}},
                                                 {"text", TextLike(100000, 1)},
                                                 {"random", RandomBytes(40000, 2)},
                                                 {"repetitive", Repetitive(80000, 3)}};
    return cache.at(name);
}

struct Setting {
    int level;
    int memLevel;
    int windowBits;
    int strategy;
};

std::vector<Setting> Settings() {
    std::vector<Setting> out;
    for (int level = 0; level <= 9; ++level) {
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED}) {
            out.push_back({level, 8, 15, strategy});
        }
        for (const auto& [memLevel, windowBits] :
             {std::pair{1, 9}, {9, 9}, {1, 15}, {9, 15}, {5, 12}}) {
            out.push_back({level, memLevel, windowBits, Z_DEFAULT_STRATEGY});
        }
    }
    return out;
}

std::string SettingName(const Setting& s) {
    static const char* const kStrategies[] = {"default", "filtered", "huffman", "rle", "fixed"};
    return "level" + std::to_string(s.level) + "_mem" + std::to_string(s.memLevel) + "_window" +
           std::to_string(s.windowBits) + "_" + kStrategies[s.strategy];
}

class ZlibStreams : public ::testing::TestWithParam<std::tuple<Setting, const char*>> {};

TEST_P(ZlibStreams, RebuildBitForBit) {
    const auto& [s, name] = GetParam();
    const Bytes& content = Content(name);
    const Bytes stream = ZlibStream(content, s.level, s.memLevel, s.windowBits, s.strategy);
    EXPECT_TRUE(RoundTrips(stream, content));
}

INSTANTIATE_TEST_SUITE_P(AllSettings, ZlibStreams,
                         ::testing::Combine(::testing::ValuesIn(Settings()),
                                            ::testing::ValuesIn(kContents)),
                         [](const auto& info) {
                             return SettingName(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param);
                         });

// The search's answer need not be the setting used (several give the same bytes), but it
// must give the stream again. The common settings are found among the first few tried.
// zlib's stored blocks (level 0) take their sizes from each call's room, so the search
// finds them as one call makes them; every other level is fed in pieces.
class ZlibSearch : public ::testing::TestWithParam<Setting> {};

TEST_P(ZlibSearch, FindsSettingsThatRebuildTheStream) {
    const Setting& s = GetParam();
    const Bytes& content = Content("text");
    const size_t piece = s.level == 0 ? content.size() + 1 : 1000;
    const Bytes stream = ZlibStream(content, s.level, s.memLevel, s.windowBits, s.strategy, piece);
    ZlibParameters found;
    unsigned tried = 0;
    ASSERT_TRUE(FindZlibParameters(content.data(), content.size(), stream.data(), stream.size(), {},
                                   found, tried));
    Bytes again;
    ASSERT_TRUE(ZlibDeflate(found, content.data(), content.size(), again));
    EXPECT_EQ(again, stream) << Describe(found);
    if (s.memLevel == 8 && s.windowBits == 15 && s.strategy == Z_DEFAULT_STRATEGY) {
        EXPECT_LE(tried, 10u);
    }
}

std::vector<Setting> SearchSettings() {
    std::vector<Setting> out;
    for (int level = 0; level <= 9; ++level) {
        out.push_back({level, 8, 15, Z_DEFAULT_STRATEGY});
    }
    out.push_back({9, 9, 15, Z_FILTERED});
    out.push_back({6, 8, 15, Z_RLE});
    out.push_back({5, 8, 15, Z_FIXED});
    out.push_back({1, 8, 15, Z_HUFFMAN_ONLY});
    out.push_back({6, 4, 11, Z_DEFAULT_STRATEGY});
    return out;
}

INSTANTIATE_TEST_SUITE_P(Some, ZlibSearch, ::testing::ValuesIn(SearchSettings()),
                         [](const auto& info) { return SettingName(info.param); });

// The first block's size names zlib's memLevel, the longest distance the least window: the
// search then finds the setting among the levels and strategies of that one memLevel.
class ZlibFacts : public ::testing::TestWithParam<int> {};

TEST_P(ZlibFacts, NameTheMemLevel) {
    const int memLevel = GetParam();
    // More symbols than the largest buffer holds, so that the first block is not the last.
    static const Bytes content = TextLike(600000, 4);
    const Bytes stream = ZlibStream(content, 7, memLevel, 15, Z_FILTERED);
    Bytes inflated;
    DeflateParse parse;
    StreamFacts facts;
    std::string why;
    ASSERT_TRUE(ParseDeflate(stream.data(), stream.size(), inflated, parse, why, {}, &facts));
    ZlibHints hints;
    HintsFromFacts(facts, hints);
    EXPECT_EQ(hints.memLevel, memLevel);
    EXPECT_GE(hints.minWindowBits, 14);
    ZlibParameters found;
    unsigned tried = 0;
    ASSERT_TRUE(FindZlibParameters(content.data(), content.size(), stream.data(), stream.size(),
                                   hints, found, tried));
    EXPECT_EQ(found.memLevel, memLevel);
    EXPECT_LE(tried, 27u * 2);
}

INSTANTIATE_TEST_SUITE_P(MemLevels, ZlibFacts, ::testing::Range(1, 10));

// A first block that ends where no zlib buffer is full: no zlib setting is worth trying.
TEST(ZlibSearch, AFirstBlockOfNoBufferSizeRulesOutZlib) {
    StreamFacts facts;
    facts.blocks = 3;
    facts.firstBlockType = 2;
    facts.firstBlockSymbols = 5000;
    ZlibHints hints;
    HintsFromFacts(facts, hints);
    const Bytes& content = Content("text");
    const Bytes stream = ZlibStream(content, 6);
    ZlibParameters found;
    unsigned tried = 0;
    EXPECT_FALSE(FindZlibParameters(content.data(), content.size(), stream.data(), stream.size(),
                                    hints, found, tried));
    EXPECT_EQ(tried, 0u);
}

TEST(ZlibSearch, HeaderHintsPutTheLevelFirst) {
    const Bytes& content = Content("text");
    const Bytes wrapped = ZlibWrapped(content, 1);
    ZlibHints hints;
    ASSERT_TRUE(HintsFromZlibHeader(wrapped.data(), wrapped.size(), hints));
    EXPECT_EQ(hints.levelClass, 0);
    EXPECT_EQ(hints.windowBits, 15);
    const Bytes raw(wrapped.begin() + 2, wrapped.end() - 4);
    ZlibParameters found;
    unsigned tried = 0;
    ASSERT_TRUE(FindZlibParameters(content.data(), content.size(), raw.data(), raw.size(), hints,
                                   found, tried));
    EXPECT_EQ(found.level, 1);
    EXPECT_EQ(tried, 1u);
}

TEST(ZlibSearch, GivesUpOnAStreamZlibDidNotWrite) {
    const Bytes& content = Content("text");
    Bytes stream = ZlibStream(content, 6);
    // A stream zlib cannot have written for this content: its last byte changed.
    stream.back() |= 0x80;
    ZlibParameters found;
    unsigned tried = 0;
    EXPECT_FALSE(FindZlibParameters(content.data(), content.size(), stream.data(), stream.size(),
                                    {}, found, tried, {40}));
    EXPECT_EQ(tried, 40u);
}

} // namespace
} // namespace deflatestream::test
