// Offsets beyond 4 GiB, with sparse files: nothing here needs gigabytes of disk or memory.
#include "FileSource.h"
#include "TestTree.h"
#include "VcdiffBytes.h"
#include "VcdiffDecoder.h"

#include <gtest/gtest.h>

namespace patchfile {
namespace {

constexpr uint64_t kBeyond4GiB = (uint64_t(1) << 32) + 5;

class CollectSink : public plumbing::Sink {
public:
    bool Write(const void* data, size_t length) override {
        bytes.append(static_cast<const char*>(data), length);
        return true;
    }
    std::string bytes;
};

class LargeOffset : public ::testing::Test {
protected:
    void SetUp() override {
        IoError error;
        std::unique_ptr<OutputFile> out = fs_->Create(path_, error);
        ASSERT_TRUE(out) << DescribeIoError(error);
        ASSERT_TRUE(out->WriteAt(kBeyond4GiB, "TAIL", 4, error)) << DescribeIoError(error);
        ASSERT_TRUE(out->Close(error)) << DescribeIoError(error);
    }

    // Decodes the delta against the sparse file; the decoder's error and what it wrote.
    vcdiff::Error Decode(const std::vector<uint8_t>& delta, std::string& output) {
        IoError error;
        std::unique_ptr<InputFile> in = fs_->OpenRead(path_, error);
        if (!in)
            return vcdiff::Error::SourceReadFailed;
        FileSource source(*in, nullptr);
        CollectSink sink;
        vcdiff::Decoder decoder(&source, sink);
        if (decoder.Feed(delta.data(), delta.size()))
            decoder.Finish();
        output = sink.bytes;
        return decoder.error();
    }

    testing::TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
    std::string path_ = temp_.Sub("sparse.pak").string();
};

TEST_F(LargeOffset, FileIsReadBeyondFourGiB) {
    IoError error;
    std::unique_ptr<InputFile> in = fs_->OpenRead(path_, error);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Size(), kBeyond4GiB + 4);
    char tail[5] = {};
    ASSERT_TRUE(in->ReadAt(kBeyond4GiB, tail, 4, error));
    EXPECT_STREQ(tail, "TAIL");
    char zeros[4] = {1, 1, 1, 1};
    ASSERT_TRUE(in->ReadAt(uint64_t(1) << 32, zeros, 4, error));
    EXPECT_EQ(std::string(zeros, 4), std::string(4, '\0'));
    EXPECT_FALSE(in->ReadAt(kBeyond4GiB + 1, tail, 4, error)) << "a read past the end";
}

TEST_F(LargeOffset, DeltaCopiesFromBeyondFourGiBOfTheSource) {
    std::string output;
    EXPECT_EQ(Decode(testing::CopyFromSourceDelta(kBeyond4GiB, 4), output), vcdiff::Error::None);
    EXPECT_EQ(output, "TAIL");
}

TEST_F(LargeOffset, SourceSegmentPastTheEndIsRefused) {
    std::string output;
    EXPECT_EQ(Decode(testing::CopyFromSourceDelta(kBeyond4GiB + 1, 4), output),
              vcdiff::Error::SourceOutOfRange);
    EXPECT_EQ(output, "");
}

} // namespace
} // namespace patchfile
