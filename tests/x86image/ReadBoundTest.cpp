// What the reader asks of its source: each byte of the image a bounded number of times
// however its tables point back and forth, and nothing at all once a read has failed or the
// caller has asked to stop, which the result then says.
#include "ImageBytes.h"
#include "SampleImages.h"

#include <gtest/gtest.h>

#include <functional>

namespace x86image::test {
namespace {

constexpr uint32_t kSectionRva = 0x1000;
constexpr uint32_t kWindow = ImageBytes::kWindowBytes;
constexpr size_t kDescriptorBytes = 20;

// Counts the reads and the bytes asked for; the read numbered `failAt` (from 0) and every
// later one fail.
class CountingSource : public plumbing::Source {
public:
    explicit CountingSource(const Bytes& bytes, uint64_t failAt = UINT64_MAX)
        : inner_(bytes), failAt_(failAt) {}
    uint64_t Size() const override { return inner_.Size(); }
    bool Read(uint64_t offset, void* out, size_t length) override {
        const bool fails = reads >= failAt_;
        ++reads;
        bytes += length;
        return !fails && inner_.Read(offset, out, length);
    }

    uint64_t reads = 0;
    uint64_t bytes = 0;

private:
    MemorySource inner_;
    uint64_t failAt_;
};

// A PE32 of one data section of `sectionBytes` holding an import table at its start whose
// `descriptors` name their thunk arrays at `thunksAt(i)` (offsets in the section).
Bytes ImportTableImage(uint32_t sectionBytes, size_t descriptors,
                       const std::function<uint32_t(size_t)>& thunksAt) {
    Bytes data(sectionBytes, 0);
    for (size_t i = 0; i < descriptors; ++i) {
        const uint32_t at = static_cast<uint32_t>(i * kDescriptorBytes);
        const uint32_t thunks = thunksAt(i);
        Put32(data, at + 0, kSectionRva + thunks);      // lookup table
        Put32(data, at + 12, kSectionRva + 16);         // name
        Put32(data, at + 16, kSectionRva + thunks + 8); // address table
        Put32(data, thunks, kSectionRva + 32);          // one name's RVA, then a zero
        Put32(data, thunks + 8, kSectionRva + 32);
    }
    PeSpec spec;
    spec.characteristics = 0x0103; // relocations stripped: the data is scanned too
    spec.sections.push_back({kSectionRva, 0, 0x40000040, data});
    spec.directories[1] = {kSectionRva, static_cast<uint32_t>(descriptors * kDescriptorBytes)};
    return WritePe(spec).bytes;
}

struct ImportPattern {
    const char* name;
    size_t descriptors;
    std::function<uint32_t(size_t)> thunksAt;
    uint64_t readsPerByte; // the most the reader may read of each image byte, on average
    ParseResult result;
};

constexpr uint32_t kSectionBytes = 8u << 20;

class ImportTableReads : public testing::TestWithParam<ImportPattern> {};

TEST_P(ImportTableReads, ReadEachByteABoundedNumberOfTimes) {
    const ImportPattern& pattern = GetParam();
    const Bytes image = ImportTableImage(kSectionBytes, pattern.descriptors, pattern.thunksAt);
    CountingSource source(image);
    ImageReferences found;
    std::string why;
    EXPECT_EQ(ParseImage(source, found, why), pattern.result) << why;
    EXPECT_LE(source.bytes,
              pattern.readsPerByte * image.size() + ImageBytes::kWindows * ImageBytes::kWindowBytes)
        << source.reads << " reads of a " << image.size() << "-byte image";
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, ImportTableReads,
    testing::Values(
        // Descriptors and their thunks far apart: the walk alternates between two places.
        ImportPattern{"ThunksInOneFarPlace", 4000,
                      [](size_t i) { return kSectionBytes / 2 + static_cast<uint32_t>(16 * i); }, 2,
                      ParseResult::Parsed},
        // Each descriptor's thunks in a window of their own: no cache keeps them, the cap
        // ends it.
        ImportPattern{"ThunksEachInAWindowOfTheirOwn", 20000,
                      [](size_t i) {
                          return kSectionBytes / 2 +
                                 static_cast<uint32_t>((i * kWindow) % (kSectionBytes / 2));
                      },
                      ImageBytes::kLoadsPerByte, ParseResult::Refused}),
    [](const auto& info) { return std::string(info.param.name); });

// A large image read field by field (its relocations stripped, so every word of its data is
// looked at): many reads and many pauses to fail or stop at.
const Bytes& ScannedImage() {
    static const Bytes image =
        ImportTableImage(4u << 20, 1000, [](size_t i) { return (2u << 20) + 16 * i; });
    return image;
}

class FailedRead : public testing::TestWithParam<uint64_t> {};

TEST_P(FailedRead, EndsTheParseAsAReadError) {
    CountingSource source(ScannedImage(), GetParam());
    ImageReferences found;
    found.absolute = {1};
    std::string why;
    EXPECT_EQ(ParseImage(source, found, why), ParseResult::ReadFailed) << why;
    EXPECT_EQ(source.reads, GetParam() + 1) << "reads after the failed one";
    EXPECT_TRUE(found.absolute.empty() && found.relativeToBase.empty() &&
                found.layout.sections.empty());
}

INSTANTIATE_TEST_SUITE_P(ReadIndices, FailedRead, testing::Values(0, 1, 2, 5, 30, 60));

class StopAnswer : public testing::TestWithParam<size_t> {};

TEST_P(StopAnswer, EndsTheParseAtOnce) {
    CountingSource source(ScannedImage());
    size_t pauses = 0;
    uint64_t readsAtStop = 0;
    const std::function<bool()> pause = [&] {
        if (++pauses == GetParam()) {
            readsAtStop = source.reads;
        }
        return pauses < GetParam();
    };
    ImageReferences found;
    std::string why;
    EXPECT_EQ(ParseImage(source, found, why, pause), ParseResult::Stopped) << why;
    EXPECT_EQ(pauses, GetParam()) << "pauses after the stop";
    EXPECT_EQ(source.reads, readsAtStop) << "reads after the stop";
    EXPECT_TRUE(found.absolute.empty() && found.layout.sections.empty());
}

INSTANTIATE_TEST_SUITE_P(PauseIndices, StopAnswer, testing::Values(1, 2, 5, 20));

// The same image parses when nothing fails, and pauses at least once a tick's work.
TEST(ScannedImage, ParsesWithAPauseEveryTicksWork) {
    CountingSource source(ScannedImage());
    size_t pauses = 0;
    ImageReferences found;
    std::string why;
    ASSERT_EQ(ParseImage(source, found, why,
                         [&] {
                             ++pauses;
                             return true;
                         }),
              ParseResult::Parsed)
        << why;
    // Every word of the data section is looked at: 4 bytes of work each.
    EXPECT_GE(pauses, ScannedImage().size() / ParsePacer::kWorkBetweenPauses);
    EXPECT_GT(source.reads, 60u);
}

} // namespace
} // namespace x86image::test
