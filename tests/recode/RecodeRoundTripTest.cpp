// A recoded payload rebuilds the new file exactly, whatever made its streams: zlib at every
// level and strategy, wrapped as zlib, gzip, zip (stored, deflated, with data descriptors and
// zip64 sizes) and PNG images split over chunks, GNU gzip and Info-ZIP's zip; each stream
// listed the cheapest way its plan allows.
#include "Containers.h"
#include "RecodeSamples.h"

#include <gtest/gtest.h>

#include <functional>

namespace recode::test {
namespace {

namespace ds = deflatestream::test;

// The content of the old file's streams, and the new one's: a few bytes changed, some
// inserted, as between two versions of a document.
Bytes OldContent(uint32_t seed) {
    return ds::TextLike(60000, seed);
}
Bytes NewContent(uint32_t seed) {
    Bytes content = OldContent(seed);
    content[1000] ^= 0x20;
    Bytes inserted = ds::TextLike(300, seed + 100);
    content.insert(content.begin() + 30000, inserted.begin(), inserted.end());
    return content;
}

struct Case {
    const char* name;
    // The file around a stream of this content.
    std::function<Bytes(const Bytes& content)> make;
    // At least so many new streams listed, and so many of them sent as parses.
    size_t listed = 0;
    size_t parsed = 0;
};

Bytes Framed(const Bytes& stream) {
    return Concat({ds::TextLike(700, 1), stream, ds::RandomBytes(300, 2)});
}

Bytes ZipOf(const Bytes& content, bool deflated, ds::Descriptor descriptor, bool zip64) {
    ds::ZipEntryRecipe first{"doc/readme.txt", content, deflated, descriptor, zip64};
    ds::ZipEntryRecipe second{"doc/other.txt", ds::TextLike(9000, 7), true, descriptor, zip64};
    return Concat({ds::ZipLocalEntry(first).bytes, ds::ZipLocalEntry(second).bytes});
}

const Case kCases[] = {
    {"ZlibLevel1", [](const Bytes& c) { return Framed(ds::ZlibWrapped(c, 1)); }, 1},
    {"ZlibLevel6", [](const Bytes& c) { return Framed(ds::ZlibWrapped(c, 6)); }, 1},
    {"ZlibLevel9", [](const Bytes& c) { return Framed(ds::ZlibWrapped(c, 9)); }, 1},
    {"GzipMemberByZlib", [](const Bytes& c) { return Framed(ds::GzipMember(c, 9)); }, 1},
    {"ZipDeflated", [](const Bytes& c) { return ZipOf(c, true, ds::Descriptor::kNone, false); }, 1},
    {"ZipStoredEntry", [](const Bytes& c) { return ZipOf(c, false, ds::Descriptor::kNone, false); },
     1},
    {"ZipDataDescriptor",
     [](const Bytes& c) { return ZipOf(c, true, ds::Descriptor::kSigned, false); }, 1},
    {"ZipUnsignedDescriptor",
     [](const Bytes& c) { return ZipOf(c, true, ds::Descriptor::kUnsigned, false); }, 1},
    {"Zip64", [](const Bytes& c) { return ZipOf(c, true, ds::Descriptor::kSigned, true); }, 1},
    {"NestedZipInStoredEntry",
     [](const Bytes& c) {
         ds::ZipEntryRecipe outer{"inner.zip", ZipOf(c, true, ds::Descriptor::kNone, false), false};
         return ds::ZipLocalEntry(outer).bytes;
     },
     1},
    {"TwoGzipMembers",
     [](const Bytes& c) {
         return Concat({ds::GzipMember(c, 6), ds::GzipMember(c, 1)});
     },
     2},
    // zlib fed in pieces at level 0 sizes its stored blocks by its calls: no single call
    // gives them again, so the parse is sent.
    {"StoredInPieces",
     [](const Bytes& c) { return Framed(ZlibWrap(ds::ZlibStream(c, 0, 8, 15, 0, 1000), c)); }, 1,
     1},
    {"GnuGzip9", [](const Bytes& c) { return RunTool("gzip -9n -c in > out", c); }, 1},
    {"InfoZip", [](const Bytes& c) { return RunTool("zip -9 -q out.zip in && mv out.zip out", c); },
     1},
    {"SevenZipZip",
     [](const Bytes& c) { return RunTool("7z a -tzip -mx=9 out.zip in && mv out.zip out", c); }, 1,
     1},
    {"JdkJar", [](const Bytes& c) { return RunTool("jar cf out in", c); }, 1},
    {"ImageMagickPng",
     [](const Bytes& c) {
         return RunTool("head -c 60000 in | convert -size 200x300 -depth 8 gray:- png:out", c);
     },
     1},
    {"OptipngPng",
     [](const Bytes& c) {
         return RunTool("head -c 60000 in | convert -size 200x300 -depth 8 gray:- png:x.png && "
                        "optipng -quiet -o2 x.png && mv x.png out",
                        c);
     },
     1},
};

class RoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(RoundTrip, RebuildsTheNewFileExactly) {
    const Case& c = GetParam();
    Bytes oldFile = c.make(OldContent(5));
    Bytes newFile = c.make(NewContent(5));
    ASSERT_FALSE(oldFile.empty());
    ASSERT_FALSE(newFile.empty());
    StreamPlan plan;
    Bytes payload = Encode(oldFile, newFile, &plan);
    EXPECT_GE(plan.copied + plan.zlib + plan.parsed, c.listed);
    EXPECT_GE(plan.parsed, c.parsed);
    Decoded decoded = DecodePayload(payload, oldFile, newFile.size());
    ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
    EXPECT_EQ(decoded.result, newFile);
}

INSTANTIATE_TEST_SUITE_P(Streams, RoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Strategy {
    int level, memLevel, windowBits, strategy;
};

// Every strategy zlib has, at the memory and window edges the search must name.
TEST(RoundTripZlibSettings, EveryStrategyIsFoundAndRebuilt) {
    const Strategy kSettings[] = {{6, 8, 15, 1}, {6, 8, 15, 2}, {6, 8, 15, 3}, {6, 8, 15, 4},
                                  {9, 9, 15, 0}, {5, 1, 9, 0},  {2, 4, 12, 0}};
    for (const Strategy& s : kSettings) {
        auto make = [&s](const Bytes& c) {
            return Framed(
                ZlibWrap(ds::ZlibStream(c, s.level, s.memLevel, s.windowBits, s.strategy, c.size()),
                         c, s.windowBits, s.level));
        };
        Bytes oldFile = make(OldContent(9)), newFile = make(NewContent(9));
        StreamPlan plan;
        Bytes payload = Encode(oldFile, newFile, &plan);
        EXPECT_EQ(plan.zlib, 1u) << s.level << " " << s.strategy;
        Decoded decoded = DecodePayload(payload, oldFile, newFile.size());
        ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
        EXPECT_EQ(decoded.result, newFile) << s.level << " " << s.strategy;
    }
}

TEST(RoundTripPlan, AnUnchangedStreamIsCopiedFromTheOldFile) {
    Bytes kept = ds::GzipWithHeader({OldContent(3), {}, "kept.txt", "", false}).bytes;
    Bytes oldFile = Concat({kept, ds::GzipMember(OldContent(4), 9)});
    Bytes newFile = Concat({kept, ds::GzipMember(NewContent(4), 9)});
    StreamPlan plan;
    Bytes payload = Encode(oldFile, newFile, &plan);
    EXPECT_EQ(plan.copied, 1u);
    Decoded decoded = DecodePayload(payload, oldFile, newFile.size());
    ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
    EXPECT_EQ(decoded.result, newFile);
}

TEST(RoundTripPlan, PngImagesSplitOverChunksAreRebuiltInTheirPieces) {
    Bytes oldFile = ds::Png(200, 150, 1000).bytes;
    Bytes newFile = ds::Png(200, 170, 700).bytes;
    StreamPlan plan;
    Bytes payload = Encode(oldFile, newFile, &plan);
    ASSERT_EQ(plan.tables.newStreams.size(), 1u);
    EXPECT_GT(plan.tables.newStreams[0].place.pieceCount, 1u);
    Decoded decoded = DecodePayload(payload, oldFile, newFile.size());
    ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
    EXPECT_EQ(decoded.result, newFile);
}

// 7-Zip's gzip of 1.5 MB of text, which zlib never gives again: its parse of some hundred
// KiB is read from the payload a piece of each of its streams at a time.
TEST(RoundTripPlan, ALargeParseIsReadInPieces) {
    Bytes oldContent = ds::TextLike(1500000, 12), newContent = oldContent;
    newContent[700000] ^= 1;
    const char* sevenZip = "7z a -tgzip -mx=9 out.gz in && mv out.gz out";
    Bytes oldFile = RunTool(sevenZip, oldContent);
    Bytes newFile = RunTool(sevenZip, newContent);
    StreamPlan plan;
    Bytes payload = Encode(oldFile, newFile, &plan);
    ASSERT_EQ(plan.parsed, 1u) << plan.zlib << " zlib, " << plan.copied << " copied, "
                               << plan.leftPlain << " plain";
    EXPECT_GT(plan.tables.newStreams[0].parseBytes, 100000u);
    Decoded decoded = DecodePayload(payload, oldFile, newFile.size());
    ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
    EXPECT_EQ(decoded.result, newFile);
}

TEST(RoundTripPlan, FilesWithoutStreamsAreNotForThisMethod) {
    Bytes payload;
    blockdiff::Failure failure;
    EXPECT_EQ(EncodeRecoded(ds::TextLike(5000, 1), ds::TextLike(5000, 2), payload, {}, nullptr,
                            nullptr, failure),
              Encoded::NoStreams);
}

TEST(RoundTripPlan, AStreamOnlyInTheOldFileIsExpandedForTheDelta) {
    Bytes content = OldContent(6);
    Bytes oldFile = Framed(ds::ZlibWrapped(content, 9));
    Bytes newFile = Concat({ds::TextLike(700, 1), content});
    StreamPlan plan;
    Bytes payload = Encode(oldFile, newFile, &plan);
    EXPECT_EQ(plan.tables.old.streams.size(), 1u);
    EXPECT_LT(payload.size(), newFile.size() / 20);
    Decoded decoded = DecodePayload(payload, oldFile, newFile.size());
    ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
    EXPECT_EQ(decoded.result, newFile);
}

} // namespace
} // namespace recode::test
