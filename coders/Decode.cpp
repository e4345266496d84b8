#include "Decoders.h"

namespace coders {

DecodeResult Decode(Coder coder, const uint8_t* input, size_t inputSize, uint8_t* output,
                    size_t outputSize, const plumbing::Tick& tick) {
    switch (coder) {
    case Coder::Store:
        return DecodeStore(input, inputSize, output, outputSize, tick);
    case Coder::Deflate:
        return DecodeDeflate(input, inputSize, output, outputSize, tick);
    case Coder::Zstd:
        return DecodeZstd(input, inputSize, output, outputSize, tick);
    case Coder::Xz:
        return DecodeXz(input, inputSize, output, outputSize, tick);
    }
    return DecodeResult::Corrupt; // a value read from a file that names no coder
}

} // namespace coders
