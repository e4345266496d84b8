#include "Decoders.h"
#include "PieceDecoder.h"

#include <algorithm>
#include <cstring>

namespace coders {

namespace {

// Copies; the stream ends with its input.
class StoreDecoder : public PieceDecoder {
public:
    DecodeResult Start() override { return DecodeResult::Ok; }
    StepStatus Run(Step& step) override {
        step.inUsed = std::min(step.inSize, step.outSize);
        step.outUsed = step.inUsed;
        if (step.inUsed != 0) {
            std::memcpy(step.out, step.in, step.inUsed);
        }
        const bool allCopied = step.inputEnds && step.inUsed == step.inSize;
        return allCopied ? StepStatus::Ended : StepStatus::Going;
    }
};

} // namespace

DecodeResult DecodeStore(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                         const plumbing::Tick& tick) {
    StoreDecoder decoder;
    return DecodeInPieces(decoder, input, inputSize, output, outputSize, tick);
}

} // namespace coders
