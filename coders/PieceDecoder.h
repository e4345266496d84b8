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

// One call of `code` (inflate, lzma_code) on the buffers of `step`: zlib's z_stream and
// liblzma's lzma_stream name their buffer fields alike.
template <typename Stream, typename Code> auto CodeStep(Stream& stream, Step& step, Code code) {
    stream.next_in = const_cast<decltype(stream.next_in)>(step.in);
    stream.avail_in = static_cast<decltype(stream.avail_in)>(step.inSize);
    stream.next_out = step.out;
    stream.avail_out = static_cast<decltype(stream.avail_out)>(step.outSize);
    const auto status = code(&stream);
    step.inUsed = step.inSize - stream.avail_in;
    step.outUsed = step.outSize - stream.avail_out;
    return status;
}

// The statuses that zlib and liblzma share in meaning, each named in its library's codes.
template <typename Status> struct LibraryStatuses {
    Status ok;
    Status streamEnd;
    Status noProgress; // no progress this time; the caller tells why
    Status outOfMemory;
};

// What the library's init said; any failure but memory is a setting it refused.
template <typename Status>
DecodeResult StartResult(Status status, const LibraryStatuses<Status>& statuses) {
    return status == statuses.ok            ? DecodeResult::Ok
           : status == statuses.outOfMemory ? DecodeResult::OutOfMemory
                                            : DecodeResult::Corrupt;
}

// What one CodeStep() said; a status not named (zlib's Z_DATA_ERROR, or Z_NEED_DICT for a
// stream made with a preset dictionary) is the library refusing the input.
template <typename Status>
StepStatus StepResult(Status status, const LibraryStatuses<Status>& statuses) {
    if (status == statuses.streamEnd)
        return StepStatus::Ended;
    if (status == statuses.ok || status == statuses.noProgress)
        return StepStatus::Going;
    if (status == statuses.outOfMemory)
        return StepStatus::OutOfMemory;
    return StepStatus::Corrupt;
}

// Starts `decoder` and runs it over the whole of `input` in pieces of at most kTickOutputBytes of
// input and output, ticking between pieces. The stream must end exactly at the end of `input` after
// exactly `outputSize` bytes of output.
DecodeResult DecodeInPieces(PieceDecoder& decoder, const uint8_t* input, size_t inputSize,
                            uint8_t* output, size_t outputSize, const plumbing::Tick& tick);

} // namespace coders
