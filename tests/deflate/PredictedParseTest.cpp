// A stream told as corrections to a zlib-family prediction is rebuilt byte for byte, whoever
// made it; for zlib's own relatives the corrections are few, for 7-Zip's they may be many.
// Hostile settings and corrections are refused.
#include "DeflateSamples.h"
#include "Parser.h"
#include "PredictParse.h"
#include "StreamFinder.h"
#include "ToolInputs.h"

#include <gtest/gtest.h>

namespace deflatestream::test {
namespace {

struct Encoder {
    const char* name;
    const char* command; // writes `out` in the inputs' folder
    // Whether its match finder is zlib's: then at most one token in this many is corrected.
    uint64_t tokensPerCorrection;
};

const Encoder kEncoders[] = {
    {"Gzip1", "gzip -1 -c text.txt > out", 100},
    {"Gzip6", "gzip -6 -c program.bin > out", 100},
    {"Gzip9", "gzip -9 -c text.txt > out", 100},
    {"TarGz9", "tar -cf - text.txt program.bin image.raw | gzip -9 > out", 100},
    {"Zip1", "zip -q -1 out.zip text.txt program.bin image.raw && mv out.zip out", 100},
    {"Zip6", "zip -q -6 out.zip text.txt program.bin image.raw && mv out.zip out", 100},
    {"Zip9", "zip -q -9 out.zip text.txt program.bin image.raw && mv out.zip out", 100},
    {"SevenZipDeflate5",
     "7z a -tzip -mx=5 -bd out.zip text.txt program.bin >/dev/null && mv out.zip out", 0},
    {"SevenZipDeflate9",
     "7z a -tzip -mx=9 -bd out.zip text.txt program.bin >/dev/null && mv out.zip out", 0},
};

struct Counted {
    uint64_t tokens = 0;
    uint64_t corrections = 0;
};

// Tokens of the parse, and corrections of the predicted one (each starts with a gap).
Counted Count(const DeflateParse& parse, const PredictedParse& predicted) {
    Counted counted;
    ByteReader runs(parse.literalRuns);
    for (uint64_t run = 0; runs.Varint(run);) {
        counted.tokens += run + 1; // the literals and the match or block end after them
    }
    ByteReader corrections(predicted.corrections);
    for (uint64_t gap = 0, kind = 0, distance = 0;
         corrections.Varint(gap) && corrections.Varint(kind);) {
        ++counted.corrections;
        if (kind != 0 && !corrections.Varint(distance)) {
            break;
        }
    }
    return counted;
}

::testing::AssertionResult RebuiltFromPrediction(const Bytes& stream, Counted& counted) {
    Bytes content;
    DeflateParse parse;
    std::string why;
    if (!ParseDeflate(stream.data(), stream.size(), content, parse, why)) {
        return ::testing::AssertionFailure() << "parse: " << why;
    }
    PredictedParse predicted;
    if (!FindPredictedParse(parse, content.data(), content.size(), predicted)) {
        return ::testing::AssertionFailure() << "no prediction";
    }
    const Bytes serialized = SerializePredictedParse(predicted);
    PredictedParse readBack;
    if (!DeserializePredictedParse(serialized.data(), serialized.size(), readBack) ||
        !(readBack == predicted)) {
        return ::testing::AssertionFailure() << "the serialized form differs";
    }
    Bytes rebuilt;
    if (!WritePredicted(readBack, content.data(), content.size(), rebuilt, why)) {
        return ::testing::AssertionFailure() << "write: " << why;
    }
    if (rebuilt != stream) {
        return ::testing::AssertionFailure() << "rebuilt differently";
    }
    const Counted one = Count(parse, predicted);
    counted.tokens += one.tokens;
    counted.corrections += one.corrections;
    return ::testing::AssertionSuccess();
}

class PredictedEncoders : public ::testing::TestWithParam<Encoder> {};

TEST_P(PredictedEncoders, EveryStreamIsRebuiltThroughItsPrediction) {
    const Bytes file = RunTool(GetParam().command);
    ASSERT_FALSE(file.empty()) << GetParam().command;
    const FinderResult found = FindStreams(file.data(), file.size());
    ASSERT_FALSE(found.streams.empty());
    Counted counted;
    for (const FoundStream& s : found.streams) {
        EXPECT_TRUE(RebuiltFromPrediction(DeflateBytes(file.data(), s), counted))
            << "stream at " << s.offset;
    }
    if (GetParam().tokensPerCorrection != 0) {
        EXPECT_LE(counted.corrections * GetParam().tokensPerCorrection, counted.tokens)
            << counted.corrections << " corrections of " << counted.tokens << " tokens";
    }
    std::printf("%s: %llu corrections of %llu tokens\n", GetParam().name,
                static_cast<unsigned long long>(counted.corrections),
                static_cast<unsigned long long>(counted.tokens));
}

INSTANTIATE_TEST_SUITE_P(Debian, PredictedEncoders, ::testing::ValuesIn(kEncoders),
                         [](const auto& info) { return std::string(info.param.name); });

struct ZlibCase {
    int level;
    int strategy;
};

class PredictedZlib : public ::testing::TestWithParam<ZlibCase> {};

// zlib's own levels: every one rebuilt, and the level it was made with predicts it with at
// most a correction or two at the content's end.
TEST_P(PredictedZlib, ItsOwnLevelPredictsItAlmostWhole) {
    const Bytes content = TextLike(60000, GetParam().level);
    const Bytes stream = ZlibStream(content, GetParam().level, 8, 15, GetParam().strategy);
    Counted counted;
    EXPECT_TRUE(RebuiltFromPrediction(stream, counted));
    Bytes parsedContent;
    DeflateParse parse;
    std::string why;
    ASSERT_TRUE(ParseDeflate(stream.data(), stream.size(), parsedContent, parse, why));
    PredictedParse own;
    ASSERT_TRUE(PredictParse(parse, content.data(), content.size(),
                             LevelConfig(static_cast<unsigned>(GetParam().level)), own));
    EXPECT_LE(Count(parse, own).corrections, 2u);
}

INSTANTIATE_TEST_SUITE_P(Levels, PredictedZlib,
                         ::testing::Values(ZlibCase{1, 0}, ZlibCase{2, 0}, ZlibCase{3, 0},
                                           ZlibCase{4, 0}, ZlibCase{5, 0}, ZlibCase{6, 0},
                                           ZlibCase{7, 0}, ZlibCase{8, 0}, ZlibCase{9, 0}),
                         [](const auto& info) {
                             return "Level" + std::to_string(info.param.level);
                         });

} // namespace
} // namespace deflatestream::test
