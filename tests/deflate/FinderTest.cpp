// The finder on files made of wrapped streams and other bytes: it reports every verified
// stream at its offsets, nothing where a check fails, and stays within its work budget on
// files full of near misses.
#include "Containers.h"
#include "StreamFinder.h"

#include <gtest/gtest.h>

#include <functional>

namespace deflatestream::test {
namespace {

struct Expected {
    Wrapper wrapper;
    size_t offset;
    size_t length;
    size_t deflateOffset;
    size_t deflateLength;
    size_t contentBytes;
    // The raw deflate stream where it is in pieces, or empty.
    Bytes pieced;
};

// A file under construction: parts appended, with the streams the finder must report.
struct File {
    Bytes bytes;
    std::vector<Expected> streams;

    void Other(const Bytes& part) { bytes.insert(bytes.end(), part.begin(), part.end()); }
    void Stream(Wrapper wrapper, const Made& made, size_t contentBytes) {
        streams.push_back({wrapper,
                           bytes.size(),
                           made.bytes.size(),
                           bytes.size() + made.deflateOffset,
                           made.deflateLength,
                           contentBytes,
                           {}});
        Other(made.bytes);
    }
    void Zip(const ZipEntryRecipe& recipe) {
        if (recipe.deflated) {
            Stream(Wrapper::kZipEntry, ZipLocalEntry(recipe), recipe.content.size());
        } else {
            Other(ZipLocalEntry(recipe).bytes);
        }
    }
};

struct FileCase {
    const char* name;
    std::function<File()> make;
};

const Bytes kText = TextLike(30000, 11);
const Bytes kSmall = TextLike(700, 12);

ZipEntryRecipe Entry(const Bytes& content, bool deflated, Descriptor descriptor = Descriptor::kNone,
                     bool zip64 = false) {
    ZipEntryRecipe recipe;
    recipe.content = content;
    recipe.deflated = deflated;
    recipe.descriptor = descriptor;
    recipe.zip64 = zip64;
    return recipe;
}

File ZipOfEveryKind() {
    File f;
    f.Zip(Entry(kSmall, false));
    f.Zip(Entry(kText, true));
    f.Zip(Entry(kSmall, true, Descriptor::kSigned));
    f.Zip(Entry(kText, true, Descriptor::kUnsigned));
    f.Zip(Entry(kSmall, true, Descriptor::kNone, true));
    f.Zip(Entry(kText, true, Descriptor::kSigned, true));
    f.Zip(Entry({}, true));
    // The central directory and its end: not streams.
    f.Other({'P', 'K', 1, 2, 0, 0, 0, 0, 'P', 'K', 5, 6, 0, 0, 0, 0});
    return f;
}

File NestedInAStoredEntry() {
    File inner;
    inner.Zip(Entry(kText, true));
    File f;
    f.Zip(Entry(kSmall, true));
    ZipEntryRecipe outer = Entry(inner.bytes, false);
    const Made stored = ZipLocalEntry(outer);
    const size_t innerAt = f.bytes.size() + stored.deflateOffset;
    f.Other(stored.bytes);
    Expected nested = inner.streams[0];
    nested.offset += innerAt;
    nested.deflateOffset += innerAt;
    f.streams.push_back(nested);
    return f;
}

File TarGz() {
    File f;
    GzipRecipe recipe;
    recipe.content = kText;
    recipe.name = "game-data.tar";
    f.Stream(Wrapper::kGzipMember, GzipWithHeader(recipe), kText.size());
    return f;
}

File GzipWithEveryHeaderField() {
    File f;
    f.Other(RandomBytes(333, 1));
    GzipRecipe recipe;
    recipe.content = kSmall;
    recipe.extra = {'A', 'P', 2, 0, 7, 7};
    recipe.name = "name.txt";
    recipe.comment = "a comment";
    recipe.headerCrc = true;
    f.Stream(Wrapper::kGzipMember, GzipWithHeader(recipe), kSmall.size());
    // A second member straight after, as `cat a.gz b.gz` makes.
    f.Stream(Wrapper::kGzipMember, GzipWithHeader({kText, {}, {}, {}, false}), kText.size());
    return f;
}

File ZlibStreamsAmongOtherBytes() {
    File f;
    for (int level : {1, 6, 9}) {
        f.Other(RandomBytes(500, static_cast<uint32_t>(level)));
        f.Stream(Wrapper::kZlibStream, ZlibOf(kText, level), kText.size());
    }
    f.Other(RandomBytes(500, 99));
    return f;
}

// A PNG image among other bytes: its zlib stream in one IDAT chunk, or split over many, is
// found through the chunks, which a zlib stream in the file's bytes is not.
File PngAmongOtherBytes(size_t idatBytes) {
    File f;
    f.Other(RandomBytes(100, 3));
    const Made png = Png(256, 256, idatBytes);
    f.streams.push_back({Wrapper::kPngImage, f.bytes.size(), png.bytes.size(),
                         f.bytes.size() + png.deflateOffset, png.deflateLength, 257 * 256,
                         png.deflate});
    f.Other(png.bytes);
    f.Other(RandomBytes(100, 4));
    return f;
}

File Damaged(const std::function<Made()> make, size_t at, uint8_t flip) {
    File f;
    Made made = make();
    made.bytes[at < made.bytes.size() ? at : made.bytes.size() + at] ^= flip;
    f.Other(made.bytes);
    return f;
}

// The header says a preset dictionary was used (its check bits made right again): the
// content cannot be checked without it.
Bytes WithPresetDictionary(const Made& zlib) {
    Bytes bytes = zlib.bytes;
    bytes[1] = static_cast<uint8_t>((bytes[1] | 0x20) & 0xe0);
    bytes[1] = static_cast<uint8_t>(bytes[1] + (31 - (bytes[0] << 8 | bytes[1]) % 31) % 31);
    return bytes;
}

std::vector<FileCase> Cases() {
    const auto gz = [] { return GzipWithHeader({kSmall, {}, "n", {}, true}); };
    const auto zlib = [] { return ZlibOf(kSmall, 6); };
    const auto zip = [] { return ZipLocalEntry(Entry(kSmall, true)); };
    const auto zipLater = [] { return ZipLocalEntry(Entry(kSmall, true, Descriptor::kSigned)); };
    constexpr size_t kLast = static_cast<size_t>(-1);
    return {
        {"ZipOfEveryKind", ZipOfEveryKind},
        {"NestedInAStoredEntry", NestedInAStoredEntry},
        {"TarGz", TarGz},
        {"GzipWithEveryHeaderField", GzipWithEveryHeaderField},
        {"ZlibStreamsAmongOtherBytes", ZlibStreamsAmongOtherBytes},
        {"PngWithOneIdat", [] { return PngAmongOtherBytes(1 << 20); }},
        {"PngWithSplitIdat", [] { return PngAmongOtherBytes(8192); }},
        {"PngWithTinyIdatChunks", [] { return PngAmongOtherBytes(1); }},
        {"PngIdatCrcWrong", [] { return Damaged([] { return Png(64, 64, 100); }, 60, 1); }},
        {"RandomBytes",
         [] {
             return File{RandomBytes(200000, 5), {}};
         }},
        {"GzipHeaderCrcWrong", [=] { return Damaged(gz, 13, 1); }},
        {"GzipCrcWrong", [=] { return Damaged(gz, kLast - 7, 1); }},
        {"GzipSizeWrong", [=] { return Damaged(gz, kLast, 1); }},
        {"ZlibAdlerWrong", [=] { return Damaged(zlib, kLast, 1); }},
        {"ZlibWithPresetDictionary",
         [=] {
             return File{WithPresetDictionary(zlib()), {}};
         }},
        {"ZipCrcWrong", [=] { return Damaged(zip, 14, 1); }},
        {"ZipSizeWrong", [=] { return Damaged(zip, 18, 1); }},
        {"ZipDescriptorSizeWrong", [=] { return Damaged(zipLater, kLast - 4, 1); }},
        {"ZipDeflateDamaged", [=] { return Damaged(zip, 60, 0xff); }},
    };
}

class Finder : public ::testing::TestWithParam<FileCase> {};

TEST_P(Finder, ReportsEveryVerifiedStreamAndNothingElse) {
    const File file = GetParam().make();
    const FinderResult result = FindStreams(file.bytes.data(), file.bytes.size());
    EXPECT_FALSE(result.stoppedEarly);
    ASSERT_EQ(result.streams.size(), file.streams.size());
    for (size_t i = 0; i < file.streams.size(); ++i) {
        const FoundStream& got = result.streams[i];
        const Expected& want = file.streams[i];
        EXPECT_EQ(got.wrapper, want.wrapper) << i;
        EXPECT_EQ(got.offset, want.offset) << i;
        EXPECT_EQ(got.length, want.length) << i;
        EXPECT_EQ(got.deflateOffset, want.deflateOffset) << i;
        EXPECT_EQ(got.deflateLength, want.deflateLength) << i;
        EXPECT_EQ(got.contentBytes, want.contentBytes) << i;
        const Bytes deflate = DeflateBytes(file.bytes.data(), got);
        if (want.pieced.empty()) {
            EXPECT_TRUE(got.pieces.empty()) << i;
            EXPECT_TRUE(
                std::equal(deflate.begin(), deflate.end(),
                           file.bytes.begin() + static_cast<std::ptrdiff_t>(want.deflateOffset)))
                << i;
        } else {
            EXPECT_EQ(deflate, want.pieced) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Finder, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Zlib headers, each followed by a long valid deflate stream whose Adler-32 is wrong: each
// candidate inflates far before it fails. The search stops at its budget instead of
// inflating every one.
TEST(FinderBudget, StopsOnAFileOfNearMisses) {
    const Bytes content(1 << 20, 'x');
    Made miss = ZlibOf(content, 1);
    miss.bytes.back() ^= 1;
    Bytes file;
    for (int i = 0; i < 300; ++i) {
        file.insert(file.end(), miss.bytes.begin(), miss.bytes.end());
    }
    FinderLimits limits;
    const FinderResult result = FindStreams(file.data(), file.size(), limits);
    EXPECT_TRUE(result.streams.empty());
    EXPECT_TRUE(result.stoppedEarly);
    const uint64_t budget = limits.failedWorkBase + limits.failedWorkPerByte * file.size();
    EXPECT_LE(result.work, budget + content.size() + miss.bytes.size());
}

TEST(FinderBudget, RandomBytesCostLittle) {
    const Bytes file = RandomBytes(1 << 20, 77);
    const FinderResult result = FindStreams(file.data(), file.size());
    EXPECT_FALSE(result.stoppedEarly);
    EXPECT_LT(result.work, 4 * file.size());
}

TEST(FinderLimits, AStreamBeyondTheContentLimitIsNotReported) {
    const Made zlib = ZlibOf(kText, 6);
    FinderLimits limits;
    limits.maxContentBytes = kText.size() - 1;
    EXPECT_TRUE(FindStreams(zlib.bytes.data(), zlib.bytes.size(), limits).streams.empty());
    limits.maxContentBytes = kText.size();
    EXPECT_EQ(FindStreams(zlib.bytes.data(), zlib.bytes.size(), limits).streams.size(), 1u);
}

} // namespace
} // namespace deflatestream::test
