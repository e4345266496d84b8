// Decoding ticks between pieces of at most kTickOutputBytes, and a tick that says stop
// stops it.
#include "Samples.h"

#include <zlib.h>

#include <gtest/gtest.h>

namespace coders::test {
namespace {

class Ticks : public ::testing::TestWithParam<Coder> {};

TEST_P(Ticks, ComeAtLeastOncePerPieceOfOutput) {
    const Coder coder = GetParam();
    size_t ticks = 0;
    Bytes output;
    ASSERT_EQ(DecodeInto(coder, EncodedSample(coder, "Large"), LargeSample().size(), output,
                         [&] { return ++ticks, true; }),
              DecodeResult::Ok);
    EXPECT_TRUE(output == LargeSample());
    EXPECT_GE(ticks, LargeSample().size() / kTickOutputBytes - 1);
}

TEST_P(Ticks, StopWhenTheTickSaysSo) {
    const Coder coder = GetParam();
    size_t ticks = 0;
    Bytes output;
    EXPECT_EQ(DecodeInto(coder, EncodedSample(coder, "Large"), LargeSample().size(), output,
                         [&] { return ++ticks < 3; }),
              DecodeResult::Stopped);
    EXPECT_EQ(ticks, 3u);
}

INSTANTIATE_TEST_SUITE_P(AllCoders, Ticks, ::testing::ValuesIn(kAllCoders),
                         [](const auto& info) { return std::string(CoderName(info.param)); });

// A zlib stream of one flushed block per byte: some five times as much input as output.
Bytes FlushedEveryByte(const Bytes& data) {
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, 9), Z_OK);
    Bytes out(data.size() * 8 + 64);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    for (size_t i = 0; i < data.size(); ++i) {
        stream.next_in = const_cast<Bytef*>(&data[i]);
        stream.avail_in = 1;
        EXPECT_EQ(deflate(&stream, i + 1 == data.size() ? Z_FINISH : Z_FULL_FLUSH),
                  i + 1 == data.size() ? Z_STREAM_END : Z_OK);
    }
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return out;
}

TEST(Ticks, ComeAtLeastOncePerPieceOfInput) {
    const Bytes data = TextLike(200000, 11);
    const Bytes stream = FlushedEveryByte(data);
    ASSERT_GT(stream.size(), 4 * data.size());
    size_t ticks = 0;
    Bytes output;
    ASSERT_EQ(
        DecodeInto(Coder::Deflate, stream, data.size(), output, [&] { return ++ticks, true; }),
        DecodeResult::Ok);
    EXPECT_TRUE(output == data);
    EXPECT_GE(ticks, stream.size() / kTickOutputBytes - 1);
}

} // namespace
} // namespace coders::test
