#include "Decoders.h"
#include "PieceDecoder.h"

#include <zlib.h>

namespace coders {

namespace {

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
        return status == Z_OK          ? DecodeResult::Ok
               : status == Z_MEM_ERROR ? DecodeResult::OutOfMemory
                                       : DecodeResult::Corrupt;
    }

    // Pieces are far below zlib's 4 GiB counts, so the sizes fit its unsigned int.
    StepStatus Run(Step& step) override {
        switch (CodeStep(stream_, step, [](z_stream* s) { return inflate(s, Z_NO_FLUSH); })) {
        case Z_STREAM_END:
            return StepStatus::Ended;
        case Z_OK:
        case Z_BUF_ERROR: // no progress this time; the caller tells why
            return StepStatus::Going;
        case Z_MEM_ERROR:
            return StepStatus::OutOfMemory;
        default: // Z_DATA_ERROR, or Z_NEED_DICT for a stream made with a preset dictionary
            return StepStatus::Corrupt;
        }
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
