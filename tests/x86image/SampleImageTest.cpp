// Each valid sample parses to the layout and the fields it was written with.
#include "AddressTranslator.h"
#include "ParseChecked.h"
#include "SampleImages.h"

#include <gtest/gtest.h>

namespace x86image::test {
namespace {

class SampleImageTest : public testing::TestWithParam<Sample> {};

} // namespace

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.name;
}

namespace {

TEST_P(SampleImageTest, GivesItsLayoutAndFields) {
    const Sample& sample = GetParam();
    const ImageReferences found = ParseChecked(sample.bytes);
    EXPECT_EQ(found.layout.kind, sample.kind);
    ASSERT_EQ(found.layout.sections.size(), sample.sections.size());
    for (size_t index = 0; index < sample.sections.size(); ++index) {
        const Section& got = found.layout.sections[index];
        const Section& want = sample.sections[index];
        EXPECT_EQ(got.fileOffset, want.fileOffset) << index;
        EXPECT_EQ(got.address, want.address) << index;
        EXPECT_EQ(got.size, want.size) << index;
        EXPECT_EQ(got.executable, want.executable) << index;
    }
    EXPECT_EQ(found.absolute, sample.absolute);
    EXPECT_EQ(found.relativeToBase, sample.relativeToBase);
}

TEST_P(SampleImageTest, ConvertsOnlyInsideSections) {
    const Sample& sample = GetParam();
    const AddressTranslator translator(ParseChecked(sample.bytes).layout);
    uint64_t address = 0, fileOffset = 0;
    EXPECT_FALSE(translator.AddressOf(0, address)); // the headers are in no section
    EXPECT_FALSE(translator.IsExecutable(0));
    for (const Section& section : sample.sections) {
        const uint64_t middle = section.size / 2;
        ASSERT_TRUE(translator.AddressOf(section.fileOffset + middle, address));
        EXPECT_EQ(address, section.address + middle);
        ASSERT_TRUE(translator.FileOffsetOf(section.address + middle, fileOffset));
        EXPECT_EQ(fileOffset, section.fileOffset + middle);
        EXPECT_EQ(translator.IsExecutable(section.fileOffset + middle), section.executable);
        // The byte after the section's file bytes is padding or another part: not this one.
        if (translator.AddressOf(section.fileOffset + section.size, address)) {
            EXPECT_NE(address, section.address + section.size);
        }
        EXPECT_FALSE(
            translator.FileOffsetOfField(section.address + section.size - 2, 4, fileOffset));
    }
}

TEST_P(SampleImageTest, PeImageBaseIsKept) {
    const Sample& sample = GetParam();
    const ImageLayout layout = ParseChecked(sample.bytes).layout;
    EXPECT_EQ(layout.imageBase, sample.kind == ImageKind::Pe32 ? 0x400000u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleImageTest, testing::ValuesIn(AllSamples()),
                         [](const testing::TestParamInfo<Sample>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(NotAnImageTest, OtherBytesAreRefused) {
    for (const Bytes& bytes : {Bytes{}, Bytes{'M'}, Bytes{'M', 'Z'}, Bytes(4096, 0),
                               Bytes{0x7F, 'E', 'L', 'F'}, Bytes{'P', 'K', 3, 4, 0, 0}}) {
        MemorySource source(bytes);
        ImageReferences found;
        found.absolute = {1};
        std::string why;
        EXPECT_EQ(ParseImage(source, found, why), ParseResult::Refused);
        EXPECT_FALSE(why.empty());
        EXPECT_TRUE(found.absolute.empty() && found.layout.sections.empty());
    }
}

// A source claiming more bytes than the cap is refused before anything is read.
class HugeSource : public plumbing::Source {
public:
    uint64_t Size() const override { return kMaxImageSize + 1; }
    bool Read(uint64_t, void*, size_t) override {
        ++reads;
        return false;
    }
    int reads = 0;
};

TEST(NotAnImageTest, ImageLargerThanTheCapIsRefused) {
    HugeSource source;
    ImageReferences found;
    std::string why;
    EXPECT_EQ(ParseImage(source, found, why), ParseResult::Refused);
    EXPECT_EQ(source.reads, 0);
}

} // namespace
} // namespace x86image::test
