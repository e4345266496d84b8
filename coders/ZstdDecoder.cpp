#include "Decoders.h"
#include "LittleEndian.h"
#include "PieceDecoder.h"
#include "ZstdWindow.h"

#include <zstd.h>
#include <zstd_errors.h>

namespace coders {

namespace {

// zstd's streaming decoder, for one frame whose window is within kMaxDecoderWindow.
class ZstdDecoder : public PieceDecoder {
public:
    ~ZstdDecoder() override { ZSTD_freeDCtx(context_); }

    DecodeResult Start() override {
        context_ = ZSTD_createDCtx();
        if (context_ == nullptr) {
            return DecodeResult::OutOfMemory;
        }
        const size_t set = ZSTD_DCtx_setParameter(context_, ZSTD_d_windowLogMax, kZstdMaxWindowLog);
        return ZSTD_isError(set) ? DecodeResult::Corrupt : DecodeResult::Ok;
    }

    StepStatus Run(Step& step) override {
        ZSTD_inBuffer in{step.in, step.inSize, 0};
        ZSTD_outBuffer out{step.out, step.outSize, 0};
        const size_t status = ZSTD_decompressStream(context_, &out, &in);
        step.inUsed = in.pos;
        step.outUsed = out.pos;
        if (ZSTD_isError(status)) {
            const bool memory = ZSTD_getErrorCode(status) == ZSTD_error_memory_allocation;
            return memory ? StepStatus::OutOfMemory : StepStatus::Corrupt;
        }
        return status == 0 ? StepStatus::Ended : StepStatus::Going;
    }

private:
    ZSTD_DCtx* context_ = nullptr;
};

bool StartsWithFrame(const uint8_t* input, size_t inputSize) {
    if (inputSize < 4) {
        return false;
    }
    return plumbing::LoadLittleEndian(input, 4) ==
           ZSTD_MAGICNUMBER; // not a skippable frame, which decodes to nothing
}

// A frame may leave its size unstated; decoding then checks it.
bool StatesOtherSize(const uint8_t* input, size_t inputSize, size_t outputSize) {
    const unsigned long long stated = ZSTD_getFrameContentSize(input, inputSize);
    return stated == ZSTD_CONTENTSIZE_ERROR ||
           (stated != ZSTD_CONTENTSIZE_UNKNOWN && stated != outputSize);
}

} // namespace

DecodeResult DecodeZstd(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                        const plumbing::Tick& tick) {
    if (!StartsWithFrame(input, inputSize) || StatesOtherSize(input, inputSize, outputSize)) {
        return DecodeResult::Corrupt;
    }
    ZstdDecoder decoder;
    return DecodeInPieces(decoder, input, inputSize, output, outputSize, tick);
}

} // namespace coders
