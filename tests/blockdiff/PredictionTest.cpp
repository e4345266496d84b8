// The reference predictor: a program whose code moved patches smaller with it, the patch
// rebuilds it exactly, the prediction does not depend on how a cover is cut, and every field
// of the prediction header is checked.
#include "BlockFormat.h"
#include "BlockTestIo.h"
#include "ReferencePredictor.h"
#include "SamplePrograms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace blockdiff::test {
namespace {

using x86image::test::MovedCodeProgram;

const Bytes kOld = MovedCodeProgram(400, 0, 5);
const Bytes kNew = MovedCodeProgram(400, 37, 5);

TEST(Prediction, MovedCodePatchesSmallerAndExactly) {
    EncoderOptions plainOptions;
    plainOptions.predictReferences = false;
    EncodeReport plainReport;
    const Bytes plain = EncodePayload(&kOld, kNew, plainOptions, &plainReport);
    EncodeReport report;
    const Bytes predicted = EncodePayload(&kOld, kNew, {}, &report);
    EXPECT_FALSE(plainReport.predicted);
    EXPECT_TRUE(report.predicted);
    EXPECT_GT(report.predictedBlocks, 0u);
    EXPECT_LT(predicted.size() * 2, plain.size());
    const Decoded decoded = DecodePayload(predicted, &kOld);
    ASSERT_EQ(decoded.error, Error::None) << decoded.message;
    EXPECT_TRUE(decoded.output == kNew);
}

TEST(Prediction, FilesThatAreNoImagesGetThePlainPayload) {
    const Bytes old = Random(3).Fill(50000);
    Bytes changed = old;
    changed[1000] ^= 1;
    EncodeReport report;
    const Bytes payload = EncodePayload(&old, changed, {}, &report);
    EXPECT_FALSE(report.predicted);
    EXPECT_EQ(DecodePayload(payload, &old).output, changed);
}

// A cover cut into parts of any size gets the bytes the whole cover gets.
TEST(Prediction, PartsGiveTheBytesOfTheWholeCover) {
    x86image::ImageReferences old;
    old.layout.kind = x86image::ImageKind::Elf32X86;
    old.layout.sections = {{0, 0x1000, 6000, true}, {6000, 0x9000, 2000, false}};
    for (uint32_t field = 6001; field + 4 <= 8000; field += 24)
        old.absolute.push_back(field);
    x86image::ImageLayout next = old.layout;
    next.sections[1].address = 0xA000;
    AddressMap map;
    map.Add(0, 64, 3000);
    map.Add(3000, 3100, 5000);
    map.Seal();
    const ReferencePredictor predictor(old, next, map);
    Random random(9);
    Bytes bytes = random.Fill(8000);
    for (size_t i = 0; i < 6000; i += 1 + random.Next() % 9)
        bytes[i] = "\xE8\xE9\x0F\x85"[random.Next() % 4];
    for (uint32_t field : old.absolute) {
        const uint32_t pointer = 0x9000 + random.Next() % 2000;
        std::memcpy(&bytes[field], &pointer, 4);
    }
    for (const auto& [start, length] : {std::pair<size_t, size_t>{0, 8000}, {1500, 5000}}) {
        Bytes whole(bytes.begin() + start, bytes.begin() + start + length);
        predictor.PredictCover(start, start + 100, whole.data(), length);
        EXPECT_NE(whole, Bytes(bytes.begin() + start, bytes.begin() + start + length));
        for (size_t piece : {1u, 3u, 4u, 7u, 1000u}) {
            SCOPED_TRACE(piece);
            Bytes parts(bytes.begin() + start, bytes.begin() + start + length);
            size_t scan = 0;
            for (size_t done = 0; done < length; done += piece)
                scan = predictor.Predict(start, start + 100, parts.data(), length, done,
                                         done + piece, scan);
            EXPECT_EQ(parts, whole);
        }
    }
}

// A short cover just below an offset does not hide the long one holding it, within the
// stated lookback.
TEST(AddressMap, FindsTheCoverHoldingAnOffset) {
    AddressMap map;
    map.Add(0, 5000, 1000); // a long cover
    map.Add(500, 100, 10);  // a short one inside it, copying the same old bytes
    for (uint64_t start = 2000; start < 2000 + AddressMap::kLookback; ++start)
        map.Add(start, 9000 + start, 1); // as many one-byte covers below 2100
    map.Add(1990, 7000, 200);
    map.Seal();
    const struct {
        uint64_t oldOffset;
        bool found;
        uint64_t newOffset;
    } cases[] = {
        {0, true, 5000},   {505, true, 105},   {700, true, 5700},
        {999, true, 5999}, {1000, false, 0},   {2003, true, 11003},
        {2100, false, 0},  {1995, true, 7005}, {2150, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oldOffset);
        uint64_t newOffset = 0;
        EXPECT_EQ(map.NewOffset(c.oldOffset, newOffset), c.found);
        if (c.found) {
            EXPECT_EQ(newOffset, c.newOffset);
        }
    }
}

// The answer as the map's contract states it, by looking at every cover: among the kLookback
// covers with the greatest old starts at or below the offset (ordered by old start, then new
// start), the last holding it. `covers` are sorted.
bool NewOffsetByDefinition(const std::vector<std::array<uint32_t, 3>>& covers, uint32_t at,
                           uint64_t& newOffset) {
    size_t below = 0;
    while (below < covers.size() && covers[below][0] <= at) {
        ++below;
    }
    for (size_t looked = 0; looked < AddressMap::kLookback && below > 0; ++looked) {
        const auto& cover = covers[--below];
        if (at - cover[0] < cover[2]) {
            newOffset = uint64_t{cover[1]} + (at - cover[0]);
            return true;
        }
    }
    return false;
}

// Maps of few and many covers, dense and spread out, clustered on a few starts: every offset
// around each cover's ends and between them gets the defined answer, whichever bucket of the
// map's index it falls in.
TEST(AddressMap, EveryLookupGivesTheDefinedAnswer) {
    Random random(11);
    for (const uint32_t coverCount : {1u, 2u, 17u, 300u, 2000u}) {
        for (const uint32_t spread : {64u, 4096u, 1u << 20, 1u << 27}) {
            std::vector<std::array<uint32_t, 3>> covers;
            AddressMap map;
            for (uint32_t i = 0; i < coverCount; ++i) {
                const uint32_t start = random.Below(spread) & (i % 3 == 0 ? ~0xFFu : ~0u);
                const uint32_t length = 1 + random.Below(i % 2 ? 64 : spread / 8 + 1);
                const uint32_t newStart = random.Below(1u << 28);
                covers.push_back({start, newStart, length});
                map.Add(start, newStart, length);
            }
            map.Seal();
            std::sort(covers.begin(), covers.end());
            std::vector<uint32_t> offsets = {0, UINT32_MAX, spread, spread * 2};
            for (const auto& cover : covers) {
                for (const uint32_t at : {cover[0], cover[0] + cover[2] - 1, cover[0] + cover[2],
                                          cover[0] ? cover[0] - 1 : 0}) {
                    offsets.push_back(at);
                }
                offsets.push_back(random.Below(spread * 2));
            }
            for (const uint32_t at : offsets) {
                uint64_t expected = 0;
                uint64_t found = 0;
                const bool defined = NewOffsetByDefinition(covers, at, expected);
                ASSERT_EQ(map.NewOffset(at, found), defined)
                    << coverCount << " covers over " << spread << ", offset " << at;
                if (defined) {
                    ASSERT_EQ(found, expected) << coverCount << " covers, offset " << at;
                }
            }
        }
    }
}

// The payload header is 12 bytes; the prediction header follows.
constexpr size_t kVersionAt = format::kPayloadHeaderBytes;
constexpr size_t kKindAt = kVersionAt + 1;
constexpr size_t kSectionCountAt = kVersionAt + 10;
constexpr size_t kFirstSectionAt = kVersionAt + format::kPredictionFixedBytes;

TEST(Prediction, DamagedPredictionFieldsAreRefused) {
    const Bytes valid = EncodePayload(&kOld, kNew);
    ASSERT_EQ(valid[kSectionCountAt], 1u);
    const struct {
        const char* name;
        size_t at;
        uint8_t value;
        Error error;
    } cases[] = {
        {"an unknown predictor version", kVersionAt, format::kPredictorVersion + 1, Error::Corrupt},
        {"predictor version 0", kVersionAt, 0, Error::Corrupt},
        {"an unknown image kind", kKindAt, 9, Error::Corrupt},
        {"too many sections", kSectionCountAt, x86image::kMaxSections + 1, Error::TooLarge},
        {"unknown section flags", kFirstSectionAt + 16, 0x03, Error::Corrupt},
        {"an empty section", kFirstSectionAt + 4, 0, Error::Corrupt},
        {"a section beyond the predictor's files", kFirstSectionAt + 3, 0x7F, Error::Corrupt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = valid;
        damaged[c.at] = c.value;
        if (c.at == kFirstSectionAt + 4)
            std::fill(damaged.begin() + c.at, damaged.begin() + c.at + 4, 0);
        const Decoded decoded = DecodePayload(damaged, &kOld);
        EXPECT_EQ(decoded.error, c.error) << decoded.message;
        EXPECT_TRUE(decoded.output.empty());
    }
}

// Version 2 also predicts the code addresses of the call-frame table; a payload of version 1,
// as earlier builders wrote it, still decodes by version 1's rules.
TEST(Prediction, EachPredictorVersionDecodesByItsOwnRules) {
    const Bytes old = MovedCodeProgram(400, 0, 5, true);
    const Bytes next = MovedCodeProgram(400, 37, 5, true);
    EncoderOptions first;
    first.predictorVersion = format::kFirstPredictorVersion;
    const Bytes earlier = EncodePayload(&old, next, first);
    const Bytes latest = EncodePayload(&old, next);
    ASSERT_EQ(earlier[kVersionAt], 1u);
    ASSERT_EQ(latest[kVersionAt], format::kPredictorVersion);
    EXPECT_LT(latest.size(), earlier.size());
    for (const Bytes* payload : {&earlier, &latest}) {
        const Decoded decoded = DecodePayload(*payload, &old);
        ASSERT_EQ(decoded.error, Error::None) << decoded.message;
        EXPECT_TRUE(decoded.output == next);
    }
}

TEST(Prediction, APredictedPayloadNeedsAnOldImage) {
    const Bytes payload = EncodePayload(&kOld, kNew);
    Bytes notAnImage = kOld;
    notAnImage[0] = 0;
    EXPECT_EQ(DecodePayload(payload, &notAnImage).error, Error::Corrupt);
    EXPECT_NE(DecodePayload(payload, nullptr).error, Error::None);
}

// The old image is parsed before any cover reads it: a read that fails there is the old file's
// read error, not damage.
TEST(Prediction, AnOldImageThatCannotBeReadIsAReadError) {
    const Bytes payload = EncodePayload(&kOld, kNew);
    DecodeSetup setup;
    setup.oldReadFails = true;
    const Decoded decoded = DecodePayload(payload, &kOld, setup);
    EXPECT_EQ(decoded.error, Error::SourceReadFailed) << decoded.message;
    EXPECT_TRUE(decoded.output.empty());
}

// Allocation is all that throws in the parse; an old file whose reads throw bad_alloc stands
// for a machine short of memory while the old image is parsed.
class ShortOfMemory : public plumbing::Source {
public:
    explicit ShortOfMemory(uint64_t size) : size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t, void*, size_t) override { throw std::bad_alloc(); }

private:
    uint64_t size_;
};

TEST(Prediction, AParseShortOfMemoryIsOutOfMemory) {
    const Bytes payload = EncodePayload(&kOld, kNew);
    MemorySource payloadIn(payload);
    ShortOfMemory old(kOld.size());
    MemorySink sink;
    Failure failure;
    EXPECT_FALSE(Decode(payloadIn, &old, sink, {}, failure));
    EXPECT_EQ(failure.error, Error::OutOfMemory) << failure.Message();
}

TEST(Prediction, APredictedBlockNeedsAPredictedPayload) {
    EncodeReport report;
    Bytes payload = EncodePayload(&kOld, kNew, {}, &report);
    ASSERT_TRUE(report.predicted);
    // The plain magic, and the prediction header taken out.
    std::copy(std::begin(format::kMagic), std::end(format::kMagic), payload.begin());
    const size_t header = format::kPredictionFixedBytes + format::kPredictionSectionBytes;
    payload.erase(payload.begin() + kVersionAt, payload.begin() + kVersionAt + header);
    const Decoded decoded = DecodePayload(payload, &kOld);
    EXPECT_EQ(decoded.error, Error::Corrupt) << decoded.message;
}

} // namespace
} // namespace blockdiff::test
