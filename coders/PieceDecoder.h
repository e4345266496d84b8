#pragma once
#include "StreamCoder.h"

#include <cstddef>
#include <cstdint>

namespace coders {

enum class StepStatus {
    Going,       // may go on with more input or more room
    Ended,       // the stream's end was read
    Corrupt,     // the library refused the input
    OutOfMemory, // the library could not get its working memory
};

// One call of a library's streaming decoder: it reads from `in` and writes to `out` and says
// how much of each it used.
struct Step {
    const uint8_t* in;
    size_t inSize;
    uint8_t* out;
    size_t outSize;
    bool inputEnds; // `in` reaches the end of the stream's input
    size_t inUsed = 0;
    size_t outUsed = 0;
};

// A streaming decoder of one coder, set up for one stream.
class PieceDecoder {
public:
    virtual ~PieceDecoder() = default;
    // Gets the library's working memory; called once, before the first Run().
    virtual DecodeResult Start() = 0;
    virtual StepStatus Run(Step& step) = 0;
};

// Starts `decoder` and runs it over the whole of `input` in pieces of at most kTickOutputBytes of
// input and output, ticking between pieces. The stream must end exactly at the end of `input` after
// exactly `outputSize` bytes of output.
DecodeResult DecodeInPieces(PieceDecoder& decoder, const uint8_t* input, size_t inputSize,
                            uint8_t* output, size_t outputSize, const Tick& tick);

} // namespace coders
