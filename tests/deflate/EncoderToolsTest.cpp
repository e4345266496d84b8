// Streams from the encoders game data comes through: Debian's gzip, Info-ZIP's zip (also
// streamed, with data descriptors, and with zip64 fields), 7-Zip's deflate in zips and gzip
// files, the JDK's jar, ImageMagick's and optipng's PNG. Each output is searched for its
// streams, and every stream is rebuilt from its parse and content byte for byte.
#include "DeflateSamples.h"
#include "Parser.h"
#include "StreamFinder.h"
#include "ToolInputs.h"

#include <gtest/gtest.h>

namespace deflatestream::test {
namespace {

struct Tool {
    const char* name;
    // Run in the inputs' folder; writes `out`.
    const char* command;
    size_t streams;
};

const Tool kTools[] = {
    {"Gzip1", "gzip -1 -c text.txt > out", 1},
    {"Gzip6", "gzip -6 -c program.bin > out", 1},
    {"Gzip9", "gzip -9 -c text.txt > out", 1},
    {"TarGz", "tar -cf - text.txt program.bin image.raw | gzip -9 > out", 1},
    {"Zip1", "zip -q -1 out.zip text.txt program.bin image.raw && mv out.zip out", 3},
    {"Zip6", "zip -q -6 out.zip text.txt program.bin image.raw && mv out.zip out", 3},
    {"Zip9", "zip -q -9 out.zip text.txt program.bin image.raw && mv out.zip out", 3},
    {"ZipStreamed", "cat text.txt | zip -q - - > out", 1},
    {"ZipForcedZip64", "zip -q -fz out.zip text.txt program.bin && mv out.zip out", 2},
    {"ZipStoredAndDeflated",
     "zip -q -0 out.zip program.bin && zip -q -9 out.zip text.txt && mv out.zip out", 1},
    {"ZipInsideAStoredEntry",
     "zip -q -9 inner.zip text.txt && zip -q -0 out.zip inner.zip image.raw && rm inner.zip && "
     "mv out.zip out",
     1},
    {"SevenZipDeflate1",
     "7z a -tzip -mx=1 -bd out.zip text.txt program.bin >/dev/null && mv out.zip out", 2},
    {"SevenZipDeflate9",
     "7z a -tzip -mx=9 -bd out.zip text.txt program.bin >/dev/null && mv out.zip out", 2},
    {"SevenZipGzip", "7z a -tgzip -mx=9 -bd out.gz text.txt >/dev/null && mv out.gz out", 1},
    // The folder META-INF/ (deflated, empty) and the manifest are entries too.
    {"Jar", "jar cf out text.txt program.bin image.raw", 5},
    {"ImageMagickPng", "convert -size 200x150 gradient:navy-gold png:out", 1},
    {"OptipngPng",
     "convert -size 200x150 plasma:fractal -seed 3 in.png 2>/dev/null && "
     "optipng -quiet -o2 -out out in.png && rm in.png",
     1},
};

class EncoderTools : public ::testing::TestWithParam<Tool> {};

TEST_P(EncoderTools, StreamsAreFoundAndRebuiltExactly) {
    const Bytes file = RunTool(GetParam().command);
    ASSERT_FALSE(file.empty()) << GetParam().command;
    const FinderResult found = FindStreams(file.data(), file.size());
    ASSERT_EQ(found.streams.size(), GetParam().streams);
    for (const FoundStream& s : found.streams) {
        const Bytes stream = DeflateBytes(file.data(), s);
        Bytes content;
        DeflateParse parse;
        std::string why;
        ASSERT_TRUE(ParseDeflate(stream.data(), stream.size(), content, parse, why)) << why;
        EXPECT_EQ(content.size(), s.contentBytes);
        EXPECT_TRUE(RoundTrips(stream, content)) << "stream at " << s.offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Debian, EncoderTools, ::testing::ValuesIn(kTools),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace deflatestream::test
