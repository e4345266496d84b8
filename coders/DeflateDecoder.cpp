#include "Decoders.h"
#include "PieceDecoder.h"

#include <zlib.h>

namespace coders {

namespace {

constexpr LibraryStatuses<int> kZlibStatuses{Z_OK, Z_STREAM_END, Z_BUF_ERROR, Z_MEM_ERROR};

// zlib's inflate over a zlib stream; its Adler-32 is checked at the end.
class DeflateDecoder : public PieceDecoder {
public:
    ~DeflateDecoder() override {
        if (started_) {
            inflateEnd(&stream_);
        }
    }

    DecodeResult Start() override {
        const int status = inflateInit(&stream_);
        started_ = status == Z_OK;
        return StartResult(status, kZlibStatuses);
    }

    // Pieces are far below zlib's 4 GiB counts, so the sizes fit its unsigned int.
    StepStatus Run(Step& step) override {
        return StepResult(
            CodeStep(stream_, step, [](z_stream* s) { return inflate(s, Z_NO_FLUSH); }),
            kZlibStatuses);
    }

private:
    z_stream stream_{};
    bool started_ = false;
};

} // namespace

DecodeResult DecodeDeflate(const uint8_t* input, size_t inputSize, uint8_t* output,
                           size_t outputSize, const plumbing::Tick& tick) {
    DeflateDecoder decoder;
    return DecodeInPieces(decoder, input, inputSize, output, outputSize, tick);
}

} // namespace coders
