// A damaged or hostile recoded payload is refused with the reason, before it costs more than
// what it declares; no damage gives a wrong file.
#include "Containers.h"
#include "MemorySource.h"
#include "RecodeSamples.h"
#include "TablesReader.h"
#include "TablesWriter.h"

#include <gtest/gtest.h>

#include <functional>

namespace recode::test {
namespace {

namespace ds = deflatestream::test;

struct Sample {
    Bytes oldFile, newFile, payload;
};

// Two streams in each file (one zlib gives again, one sent as a parse), and a PNG image.
const Sample& TheSample() {
    static const Sample sample = [] {
        Sample s;
        Bytes a = ds::TextLike(40000, 3), b = ds::TextLike(60000, 4);
        Bytes png = ds::Png(120, 90, 900).bytes;
        s.oldFile =
            Concat({ds::ZlibWrapped(a, 9), ZlibWrap(ds::ZlibStream(b, 0, 8, 15, 0, 1000), b), png});
        a[500] ^= 1;
        b[900] ^= 1;
        s.newFile =
            Concat({ds::ZlibWrapped(a, 9), ZlibWrap(ds::ZlibStream(b, 0, 8, 15, 0, 1000), b), png});
        s.payload = Encode(s.oldFile, s.newFile);
        return s;
    }();
    return sample;
}

// The payload with its tables changed and everything after them as it was.
Bytes WithTables(const Bytes& payload, uint64_t newSize, uint64_t oldSize,
                 const std::function<void(StreamTables&)>& change) {
    plumbing::MemorySource source(payload.data(), payload.size());
    StreamTables tables;
    Failure failure;
    EXPECT_TRUE(ReadTables(source, oldSize, newSize, tables, failure)) << failure.Message();
    change(tables);
    Bytes changed = WriteTables(tables);
    changed.insert(changed.end(), payload.begin() + tables.deltaOffset, payload.end());
    return changed;
}

struct Fault {
    const char* name;
    std::function<void(StreamTables&)> change;
    Error expected;
};

const Fault kFaults[] = {
    {"OldStreamClaimsMoreThanItHolds", [](StreamTables& t) { t.old.streams[0].contentBytes++; },
     Error::OldStreamMismatch},
    {"OldStreamClaimsLess", [](StreamTables& t) { t.old.streams[0].contentBytes--; },
     Error::OldStreamMismatch},
    {"OldPieceEndsInsideTheStream", [](StreamTables& t) { t.old.pieces[0].length--; },
     Error::OldStreamMismatch},
    {"NewStreamClaimsMore", [](StreamTables& t) { t.newStreams[0].place.contentBytes++; },
     Error::DeltaFailed},
    {"PieceBeyondTheFile", [](StreamTables& t) { t.old.pieces.back().offset += 1u << 30; },
     Error::BadTables},
    {"PiecesOutOfOrder",
     [](StreamTables& t) { std::swap(t.fresh.pieces[3].offset, t.fresh.pieces[4].offset); },
     Error::BadTables},
    {"MoreContentThanDeflateCanHold",
     [](StreamTables& t) {
         t.old.streams[0].contentBytes = (t.old.streams[0].deflateBytes + 1) * kMaxInflateRatio;
     },
     Error::BadTables},
    {"CopyOfAnUnlistedStream",
     [](StreamTables& t) {
         t.newStreams[0].how = Rebuild::CopyOld;
         t.newStreams[0].oldIndex = 7;
     },
     Error::BadTables},
    {"CopyOfAStreamOfOtherSizes",
     [](StreamTables& t) {
         t.newStreams[1].how = Rebuild::CopyOld;
         t.newStreams[1].oldIndex = 0;
     },
     Error::BadTables},
    {"ZlibSettingsZlibLacks", [](StreamTables& t) { t.newStreams[0].zlib.windowBits = 16; },
     Error::BadTables},
    {"WrongZlibSettings", [](StreamTables& t) { t.newStreams[0].zlib.level = 1; },
     Error::RebuildFailed},
    {"ParseLargerThanItsStreamCanNeed",
     [](StreamTables& t) {
         for (NewStream& stream : t.newStreams) {
             if (stream.how == Rebuild::Parse)
                 stream.parseBytes = uint64_t(1) << 40;
         }
     },
     Error::BadTables},
    {"ParseLongerThanTheDeltaGives",
     [](StreamTables& t) {
         for (NewStream& stream : t.newStreams) {
             if (stream.how == Rebuild::Parse)
                 stream.parseBytes += 1;
         }
     },
     Error::DeltaFailed},
};

class HostileTables : public ::testing::TestWithParam<Fault> {};

TEST_P(HostileTables, AreRefusedWithTheirReason) {
    const Sample& s = TheSample();
    Bytes payload = WithTables(s.payload, s.newFile.size(), s.oldFile.size(), GetParam().change);
    Decoded decoded = DecodePayload(payload, s.oldFile, s.newFile.size());
    EXPECT_FALSE(decoded.ok);
    EXPECT_EQ(decoded.failure.error, GetParam().expected) << decoded.failure.Message();
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileTables, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostilePayload, TheSampleDecodes) {
    const Sample& s = TheSample();
    Decoded decoded = DecodePayload(s.payload, s.oldFile, s.newFile.size());
    ASSERT_TRUE(decoded.ok) << decoded.failure.Message();
    EXPECT_EQ(decoded.result, s.newFile);
    StreamPlan plan;
    Encode(s.oldFile, s.newFile, &plan);
    EXPECT_EQ(plan.zlib, 1u);
    EXPECT_EQ(plan.parsed, 1u);
    EXPECT_EQ(plan.copied, 1u);
}

// A parse's head whose streams' lengths do not add up to the parse's size.
TEST(HostilePayload, AParseOfDamagedSizesIsRefused) {
    const Sample& s = TheSample();
    StreamPlan plan;
    ASSERT_TRUE(PlanStreams(s.oldFile, s.newFile, {}, plan));
    for (Bytes& parse : plan.parses) {
        if (parse.empty())
            continue;
        // The content size's first varint byte, then the first stream length's, made larger.
        parse[2] ^= 0x40;
    }
    Bytes payload;
    blockdiff::Failure failure;
    ASSERT_TRUE(EncodePlan(plan, payload, {}, nullptr, failure));
    Decoded decoded = DecodePayload(payload, s.oldFile, s.newFile.size());
    EXPECT_EQ(decoded.failure.error, Error::RebuildFailed) << decoded.failure.Message();
}

TEST(HostilePayload, BadMagicAndEveryTruncationAreRefused) {
    const Sample& s = TheSample();
    Bytes payload = s.payload;
    payload[0] ^= 1;
    EXPECT_EQ(DecodePayload(payload, s.oldFile, s.newFile.size()).failure.error, Error::BadMagic);
    for (size_t cut = 0; cut < s.payload.size(); cut += 1 + cut / 8) {
        Bytes shorter(s.payload.begin(), s.payload.begin() + cut);
        EXPECT_FALSE(DecodePayload(shorter, s.oldFile, s.newFile.size()).ok) << cut;
    }
}

size_t TablesEnd(const Sample& s) {
    plumbing::MemorySource source(s.payload.data(), s.payload.size());
    StreamTables tables;
    Failure failure;
    EXPECT_TRUE(ReadTables(source, s.oldFile.size(), s.newFile.size(), tables, failure));
    return static_cast<size_t>(tables.deltaOffset);
}

// Every byte of the delta changed in turn: refused, or (a byte nothing reads) the right file;
// the blocks' checksums see to it.
TEST(HostilePayload, NoDamageOfTheDeltaGivesAWrongFile) {
    const Sample& s = TheSample();
    for (size_t i = TablesEnd(s); i < s.payload.size(); i += 1 + i / 256) {
        Bytes damaged = s.payload;
        damaged[i] ^= 0x5a;
        Decoded decoded = DecodePayload(damaged, s.oldFile, s.newFile.size());
        if (decoded.ok) {
            EXPECT_EQ(decoded.result, s.newFile) << "byte " << i;
        }
    }
}

// A changed table or parse may describe another valid stream: then only the result's CRC-32,
// which the engine checks for every method, tells. What the decoder must ensure is that it
// ends, and writes no more than the new file's size.
TEST(HostilePayload, DamagedTablesEndWithinTheNewFilesSize) {
    const Sample& s = TheSample();
    for (size_t i = 0; i < TablesEnd(s); ++i) {
        Bytes damaged = s.payload;
        damaged[i] ^= 0x5a;
        Decoded decoded = DecodePayload(damaged, s.oldFile, s.newFile.size());
        EXPECT_LE(decoded.result.size(), s.newFile.size()) << "byte " << i;
    }
}

// An old stream of 8 MiB of zeros in 8 KiB, declared as 64 KiB: inflating stops at the
// declared size, long before the bomb's output.
TEST(HostilePayload, AThousandfoldBombStopsAtItsDeclaredContent) {
    Bytes zeros(8u << 20, 0);
    Bytes oldFile = ds::ZlibWrapped(zeros, 9);
    Bytes newFile = ds::ZlibWrapped(Bytes(100, 1), 9);
    Bytes payload = Encode(oldFile, newFile);
    Bytes bomb = WithTables(payload, newFile.size(), oldFile.size(),
                            [](StreamTables& t) { t.old.streams[0].contentBytes = 64 * 1024; });
    Decoded decoded = DecodePayload(bomb, oldFile, newFile.size());
    EXPECT_EQ(decoded.failure.error, Error::OldStreamMismatch);
    // Each tick is at most a chunk of work: far fewer than the bomb's 128 chunks.
    EXPECT_LT(decoded.ticks, 16u);
}

TEST(HostilePayload, AStopEndsTheDecodeAtATick) {
    const Sample& s = TheSample();
    for (uint64_t stopAt : {0u, 1u, 5u, 20u}) {
        Decoded decoded = DecodePayload(s.payload, s.oldFile, s.newFile.size(), stopAt);
        EXPECT_FALSE(decoded.ok);
        bool stopped = decoded.failure.error == Error::Stopped ||
                       (decoded.failure.error == Error::DeltaFailed &&
                        decoded.delta.error == blockdiff::Error::Stopped);
        EXPECT_TRUE(stopped) << decoded.failure.Message();
        EXPECT_EQ(decoded.ticks, stopAt + 1);
    }
}

} // namespace
} // namespace recode::test
