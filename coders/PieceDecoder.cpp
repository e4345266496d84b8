#include "PieceDecoder.h"

#include <algorithm>

namespace coders {

namespace {

DecodeResult ResultOf(StepStatus status) {
    return status == StepStatus::OutOfMemory ? DecodeResult::OutOfMemory : DecodeResult::Corrupt;
}

} // namespace

DecodeResult DecodeInPieces(PieceDecoder& decoder, const uint8_t* input, size_t inputSize,
                            uint8_t* output, size_t outputSize, const plumbing::Tick& tick) {
    const DecodeResult started = decoder.Start();
    if (started != DecodeResult::Ok) {
        return started;
    }
    // Once the stated size is reached the decoder writes to a spare byte: a stream that
    // goes on is longer than stated. The spare also stands in for an empty output buffer,
    // which some libraries refuse.
    uint8_t spare = 0;
    size_t consumed = 0;
    size_t produced = 0;
    for (;;) {
        const size_t inputLeft = inputSize - consumed;
        const size_t pieceIn = std::min(kTickOutputBytes, inputLeft);
        Step step{input + consumed, pieceIn, &spare, 1, pieceIn == inputLeft};
        if (produced < outputSize) {
            step.out = output + produced;
            step.outSize = std::min(kTickOutputBytes, outputSize - produced);
        }
        const StepStatus status = decoder.Run(step);
        if (produced == outputSize && step.outUsed != 0) {
            return DecodeResult::Corrupt;
        }
        consumed += step.inUsed;
        produced += step.outUsed;
        if (status == StepStatus::Ended) {
            const bool exact = consumed == inputSize && produced == outputSize;
            return exact ? DecodeResult::Ok : DecodeResult::Corrupt;
        }
        if (status != StepStatus::Going) {
            return ResultOf(status);
        }
        if (step.inUsed == 0 && step.outUsed == 0) {
            return DecodeResult::Corrupt; // nothing used with room on both sides: cut short
        }
        if (tick && !tick()) {
            return DecodeResult::Stopped;
        }
    }
}

} // namespace coders
