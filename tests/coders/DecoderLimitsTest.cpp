// A stream that asks for a larger window or dictionary than kMaxDecoderWindow is refused.
// The streams are made here with the libraries' own encoders and explicit settings; each
// test also decodes the same stream made at the cap, so only the asked size differs.
#include "Samples.h"

#include <lzma.h>
#include <zstd.h>

#include <gtest/gtest.h>

namespace coders::test {
namespace {

const Bytes& Input() {
    static const Bytes input = TextLike(100000, 9);
    return input;
}

// A frame that does not state its size, so that zstd keeps the window it is given rather
// than one fitted to the input.
Bytes ZstdFrame(int windowLog) {
    ZSTD_CCtx* context = ZSTD_createCCtx();
    EXPECT_FALSE(ZSTD_isError(ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, windowLog)));
    Bytes frame(ZSTD_compressBound(Input().size()));
    ZSTD_outBuffer out{frame.data(), frame.size(), 0};
    ZSTD_inBuffer in{Input().data(), Input().size(), 0};
    EXPECT_FALSE(ZSTD_isError(ZSTD_compressStream2(context, &out, &in, ZSTD_e_continue)));
    ZSTD_inBuffer none{nullptr, 0, 0};
    EXPECT_EQ(ZSTD_compressStream2(context, &out, &none, ZSTD_e_end), 0u);
    ZSTD_freeCCtx(context);
    frame.resize(out.pos);
    return frame;
}

TEST(DecoderLimits, AZstdWindowBeyondTheCapIsRefused) {
    const int capLog = 24;
    ASSERT_EQ(size_t{1} << capLog, kMaxDecoderWindow);
    Bytes output;
    EXPECT_EQ(DecodeInto(Coder::Zstd, ZstdFrame(capLog), Input().size(), output), DecodeResult::Ok);
    EXPECT_TRUE(output == Input());
    EXPECT_EQ(DecodeInto(Coder::Zstd, ZstdFrame(capLog + 1), Input().size(), output),
              DecodeResult::Corrupt);
}

// The Xz coder's stream: the properties byte, then raw LZMA2.
Bytes Lzma2Stream(uint32_t dictionarySize) {
    lzma_options_lzma options;
    EXPECT_FALSE(lzma_lzma_preset(&options, 6));
    options.dict_size = dictionarySize;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    Bytes stream(1 + lzma_stream_buffer_bound(Input().size()));
    EXPECT_EQ(lzma_properties_encode(&filters[0], stream.data()), LZMA_OK);
    size_t written = 1;
    EXPECT_EQ(lzma_raw_buffer_encode(filters, nullptr, Input().data(), Input().size(),
                                     stream.data(), &written, stream.size()),
              LZMA_OK);
    stream.resize(written);
    return stream;
}

TEST(DecoderLimits, AnLzma2DictionaryBeyondTheCapIsRefused) {
    Bytes output;
    EXPECT_EQ(DecodeInto(Coder::Xz, Lzma2Stream(kMaxDecoderWindow), Input().size(), output),
              DecodeResult::Ok);
    EXPECT_TRUE(output == Input());
    EXPECT_EQ(DecodeInto(Coder::Xz, Lzma2Stream(2 * kMaxDecoderWindow), Input().size(), output),
              DecodeResult::Corrupt);
}

// What the encoders write needs no more than the stream: a decoder capped to the stream's
// own size, rounded up to a power of two, takes it.
TEST(DecoderLimits, TheZstdEncoderAsksForNoLargerWindowThanTheStream) {
    const Bytes& stream = EncodedSample(Coder::Zstd, "Large");
    const size_t size = LargeSample().size();
    ZSTD_DCtx* context = ZSTD_createDCtx();
    ASSERT_FALSE(ZSTD_isError(ZSTD_DCtx_setParameter(context, ZSTD_d_windowLogMax, 23)));
    ASSERT_EQ(size_t{1} << 23, size);
    Bytes output(size);
    ZSTD_outBuffer out{output.data(), output.size(), 0};
    ZSTD_inBuffer in{stream.data(), stream.size(), 0};
    EXPECT_EQ(ZSTD_decompressStream(context, &out, &in), 0u);
    ZSTD_freeDCtx(context);
    EXPECT_TRUE(output == LargeSample());
}

uint32_t StatedDictionary(const Bytes& stream) {
    lzma_filter filter{LZMA_FILTER_LZMA2, nullptr};
    EXPECT_EQ(lzma_properties_decode(&filter, nullptr, stream.data(), 1), LZMA_OK);
    const uint32_t size = static_cast<lzma_options_lzma*>(filter.options)->dict_size;
    free(filter.options);
    return size;
}

TEST(DecoderLimits, TheXzEncoderStatesADictionaryOfTheStreamsSize) {
    EXPECT_EQ(StatedDictionary(EncodedSample(Coder::Xz, "OneByte")), LZMA_DICT_SIZE_MIN);
    EXPECT_EQ(StatedDictionary(EncodedSample(Coder::Xz, "Zeros")), 1u << 20);
    EXPECT_EQ(StatedDictionary(EncodedSample(Coder::Xz, "Large")), 8u << 20);
}

} // namespace
} // namespace coders::test
