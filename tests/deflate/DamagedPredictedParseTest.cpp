// A predicted parse comes from a hostile patch: its predictor's settings beyond their caps,
// corrections that repeat the prediction or run past the content, and streams cut short or
// running on are refused with their reason; any byte of a serialized one changed is refused
// or written without harm.
#include "DeflateSamples.h"
#include "MatchPredictor.h"
#include "ParseBytes.h"
#include "Parser.h"
#include "PredictParse.h"

#include <gtest/gtest.h>

#include <functional>

namespace deflatestream::test {
namespace {

struct Predicted {
    Bytes stream;
    Bytes content;
    PredictedParse parse;
};

Predicted PredictedAs(int level, unsigned predictedLevel) {
    Predicted p;
    p.stream = ZlibStream(TextLike(20000, 9), level);
    DeflateParse parse;
    std::string why;
    EXPECT_TRUE(ParseDeflate(p.stream.data(), p.stream.size(), p.content, parse, why));
    EXPECT_TRUE(PredictParse(parse, p.content.data(), p.content.size(), LevelConfig(predictedLevel),
                             p.parse));
    return p;
}

// zlib's level-6 stream predicted as if by level 1: lazy matches the fast finder misses, so
// corrections of both kinds.
const Predicted& Sample() {
    static const Predicted sample = PredictedAs(6, 1);
    return sample;
}

// Level 1's stream predicted by level 1: no correction, so every predicted token is sent.
const Predicted& Exact() {
    static const Predicted sample = PredictedAs(1, 1);
    return sample;
}

Bytes Correction(uint64_t gap, uint64_t length, uint64_t distance) {
    Bytes out;
    PutVarint(out, gap);
    PutVarint(out, length);
    if (length != 0) {
        PutVarint(out, distance);
    }
    return out;
}

struct Fault {
    const char* name;
    std::function<void(Predicted&)> plant;
    const char* reason;
    const Predicted& (*start)() = Sample;
};

const Fault kFaults[] = {
    {"ChainBeyondItsCap", [](Predicted& p) { p.parse.config.maxChain = kMaxChain + 1; },
     "the predictor's settings are beyond their bounds"},
    {"HashBeyondItsCap", [](Predicted& p) { p.parse.config.hashBits = kMaxHashBits + 1; },
     "the predictor's settings are beyond their bounds"},
    {"WindowBeyondDeflates", [](Predicted& p) { p.parse.config.windowBits = 16; },
     "the predictor's settings are beyond their bounds"},
    {"NiceShorterThanAMatch", [](Predicted& p) { p.parse.config.nice = 2; },
     "the predictor's settings are beyond their bounds"},
    {"ACorrectionThatIsThePrediction",
     // The first token of any stream is a literal: nothing precedes it to match.
     [](Predicted& p) { p.parse.corrections = Correction(0, 0, 0); },
     "a correction repeats the prediction"},
    {"AMatchBeyondTheContent",
     [](Predicted& p) {
         // At the prediction's last token, a match of 258.
         MemoryInput content(p.content.data(), p.content.size());
         MatchPredictor predictor(p.parse.config, content, p.content.size());
         uint64_t tokens = 0;
         for (Token token; predictor.Predict(token); ++tokens) {
             predictor.Accept(token);
         }
         p.parse.corrections = Correction(tokens - 1, 256, 0);
     },
     "a match goes beyond the content", Exact},
    {"ACorrectionCutShort",
     [](Predicted& p) {
         p.parse.corrections = {0, 5};
     },
     "the parse is damaged"},
    {"TailsMissing", [](Predicted& p) { p.parse.tails.clear(); }, "the parse is damaged"},
    {"TailsRunOn", [](Predicted& p) { p.parse.tails.push_back(0); },
     "the parse goes on after the final block"},
    {"CorrectionsRunOn",
     [](Predicted& p) {
         Bytes more = Correction(UINT32_MAX, 0, 0);
         p.parse.corrections.insert(p.parse.corrections.end(), more.begin(), more.end());
     },
     "the parse goes on after the final block"},
    {"ContentShort", [](Predicted& p) { p.content.resize(p.content.size() - 1); },
     "the prediction failed: the content ends early or the search goes beyond its bound"},
};

class DamagedPredictedParse : public ::testing::TestWithParam<Fault> {};

TEST_P(DamagedPredictedParse, IsRefusedWithItsReason) {
    Predicted p = GetParam().start();
    GetParam().plant(p);
    Bytes out;
    std::string why;
    EXPECT_FALSE(WritePredicted(p.parse, p.content.data(), p.content.size(), out, why));
    EXPECT_EQ(why, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Faults, DamagedPredictedParse, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedPredictedParse, TheSampleHasCorrectionsAndIsRebuilt) {
    const Predicted& p = Sample();
    EXPECT_FALSE(p.parse.corrections.empty());
    Bytes out;
    std::string why;
    ASSERT_TRUE(WritePredicted(p.parse, p.content.data(), p.content.size(), out, why)) << why;
    EXPECT_EQ(out, p.stream);
}

TEST(DamagedPredictedParse, SettingsBeyondTheirCapsAreNotRead) {
    Predicted p = Sample();
    p.parse.config.maxChain = kMaxChain + 1;
    const Bytes serialized = SerializePredictedParse(p.parse);
    PredictedParse read;
    EXPECT_FALSE(DeserializePredictedParse(serialized.data(), serialized.size(), read));
}

// Every byte of the serialized sample changed in turn: refused, or the same stream (a changed
// padding bit or a correction the same token spells otherwise cannot be told), never wrong
// bytes that claim to be right without the content check: what comes out is checked by CRC.
TEST(DamagedPredictedParse, AnyChangedByteIsRefusedOrHarmless) {
    const Predicted& p = Sample();
    const Bytes serialized = SerializePredictedParse(p.parse);
    for (size_t i = 0; i < serialized.size(); i += 7) {
        Bytes damaged = serialized;
        damaged[i] ^= 0x5a;
        PredictedParse read;
        if (!DeserializePredictedParse(damaged.data(), damaged.size(), read)) {
            continue;
        }
        Bytes out;
        std::string why;
        if (WritePredicted(read, p.content.data(), p.content.size(), out, why)) {
            EXPECT_EQ(out.size(), read.streamBytes) << "byte " << i;
        } else {
            EXPECT_FALSE(why.empty()) << "byte " << i;
        }
    }
}

} // namespace
} // namespace deflatestream::test
