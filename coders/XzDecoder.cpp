#include "Decoders.h"
#include "Lzma2Stream.h"
#include "PieceDecoder.h"

#include <lzma.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace coders {

namespace {

constexpr LibraryStatuses<lzma_ret> kLzmaStatuses{LZMA_OK, LZMA_STREAM_END, LZMA_BUF_ERROR,
                                                  LZMA_MEM_ERROR};

// liblzma's raw LZMA2 decoder with the dictionary the stream stated.
class XzDecoder : public PieceDecoder {
public:
    explicit XzDecoder(const lzma_options_lzma& options) : options_(options) {}
    ~XzDecoder() override { lzma_end(&stream_); }

    DecodeResult Start() override {
        const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options_}, {LZMA_VLI_UNKNOWN, nullptr}};
        const lzma_ret status = lzma_raw_decoder(&stream_, filters);
        return StartResult(status, kLzmaStatuses);
    }

    StepStatus Run(Step& step) override {
        return StepResult(
            CodeStep(stream_, step, [](lzma_stream* s) { return lzma_code(s, LZMA_RUN); }),
            kLzmaStatuses);
    }

private:
    lzma_options_lzma options_;
    lzma_stream stream_ = LZMA_STREAM_INIT;
};

struct FreeOptions {
    void operator()(void* options) const { std::free(options); }
};

// The stream's LZMA2 properties, or false when the byte is not valid or states a
// dictionary beyond kMaxDecoderWindow.
bool ReadProperties(const uint8_t* input, size_t inputSize, lzma_options_lzma& options) {
    if (inputSize < kLzma2PropertiesSize) {
        return false;
    }
    lzma_filter filter{LZMA_FILTER_LZMA2, nullptr};
    if (lzma_properties_decode(&filter, nullptr, input, kLzma2PropertiesSize) != LZMA_OK) {
        return false;
    }
    const std::unique_ptr<void, FreeOptions> owned(filter.options);
    options = *static_cast<const lzma_options_lzma*>(filter.options);
    return options.dict_size <= kMaxDecoderWindow;
}

} // namespace

DecodeResult DecodeXz(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                      const plumbing::Tick& tick) {
    lzma_options_lzma options;
    if (!ReadProperties(input, inputSize, options)) {
        return DecodeResult::Corrupt;
    }
    // No match reaches further back than the start of the output, so a dictionary of the
    // output's size decodes the stream just as well as a larger one stated.
    options.dict_size = static_cast<uint32_t>(
        std::max<size_t>(LZMA_DICT_SIZE_MIN, std::min<size_t>(options.dict_size, outputSize)));
    XzDecoder decoder(options);
    return DecodeInPieces(decoder, input + kLzma2PropertiesSize, inputSize - kLzma2PropertiesSize,
                          output, outputSize, tick);
}

} // namespace coders
