// The parser and the writer see their input and output in pieces of any size, and a caller
// that stops taking output stops them: the same parse, content and stream whatever the
// pieces, and a refusal with its reason when the output stops.
#include "DeflateSamples.h"
#include "Parser.h"
#include "Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace deflatestream::test {
namespace {

// Gives at most `piece` bytes per call.
class TrickleInput final : public ByteInput {
public:
    TrickleInput(const Bytes& bytes, size_t piece) : bytes_(bytes), piece_(piece) {}
    size_t Read(uint8_t* out, size_t max) override {
        const size_t count = std::min({max, piece_, bytes_.size() - at_});
        std::memcpy(out, bytes_.data() + at_, count);
        at_ += count;
        return count;
    }

private:
    const Bytes& bytes_;
    size_t piece_;
    size_t at_ = 0;
};

// Keeps what it is given, and refuses once it holds `stopAfter` bytes or more.
class StoppingOutput final : public ByteOutput {
public:
    explicit StoppingOutput(size_t stopAfter = SIZE_MAX) : stopAfter_(stopAfter) {}
    bool Write(const uint8_t* data, size_t size) override {
        if (bytes.size() >= stopAfter_) {
            return false;
        }
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    Bytes bytes;

private:
    size_t stopAfter_;
};

class Pieces : public ::testing::TestWithParam<size_t> {};

TEST_P(Pieces, GiveTheSameParseContentAndStream) {
    const Bytes content = Repetitive(400000, 31);
    Bytes stream = ZlibStream(content, 9);
    // Junk after the stream, which the parser may read but must leave out.
    stream.insert(stream.end(), 50, 0xaa);
    DeflateParse whole;
    Bytes wholeContent;
    std::string why;
    ASSERT_TRUE(ParseDeflate(stream.data(), stream.size(), wholeContent, whole, why)) << why;

    TrickleInput input(stream, GetParam());
    StoppingOutput inflated;
    DeflateParse pieced;
    ASSERT_TRUE(ParseDeflate(input, inflated, pieced, why)) << why;
    EXPECT_TRUE(pieced == whole);
    EXPECT_EQ(inflated.bytes, content);

    TrickleInput contentInput(content, GetParam());
    StoppingOutput rebuilt;
    ASSERT_TRUE(WriteDeflate(pieced, contentInput, rebuilt, why)) << why;
    EXPECT_TRUE(std::equal(rebuilt.bytes.begin(), rebuilt.bytes.end(), stream.begin()));
    EXPECT_EQ(rebuilt.bytes.size(), whole.streamBytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Pieces, ::testing::Values(1, 2, 7, 4096, 65536, 1 << 20));

TEST(StoppedOutput, StopsTheParser) {
    const Bytes content = TextLike(500000, 32);
    const Bytes stream = ZlibStream(content, 6);
    MemoryInput input(stream.data(), stream.size());
    StoppingOutput inflated(100000);
    DeflateParse parse;
    std::string why;
    EXPECT_FALSE(ParseDeflate(input, inflated, parse, why));
    EXPECT_EQ(why, "the content's output stopped");
    EXPECT_LT(inflated.bytes.size(), content.size());
}

TEST(StoppedOutput, StopsTheWriter) {
    const Bytes content = TextLike(500000, 33);
    const Bytes stream = ZlibStream(content, 6);
    Bytes inflated;
    DeflateParse parse;
    std::string why;
    ASSERT_TRUE(ParseDeflate(stream.data(), stream.size(), inflated, parse, why));
    MemoryInput contentInput(content.data(), content.size());
    StoppingOutput rebuilt(10000);
    EXPECT_FALSE(WriteDeflate(parse, contentInput, rebuilt, why));
    EXPECT_EQ(why, "the stream's output stopped");
}

} // namespace
} // namespace deflatestream::test
