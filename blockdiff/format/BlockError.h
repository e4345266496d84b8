#pragma once
#include "Failure.h"

namespace blockdiff {

enum class Error {
    None,
    Truncated,         // the payload ends inside its header or a block
    BadMagic,          // not a block delta
    TooLarge,          // a size beyond the format's limits
    Corrupt,           // a malformed field, a stream of the wrong size or bytes left over
    UnknownCoder,      // a stream names a coder this decoder does not know
    StreamCorrupt,     // a stream's coder refused its bytes
    BadCover,          // a cover outside the old file or past its block
    ChecksumMismatch,  // a block's output does not match its CRC-32
    SourceReadFailed,  // the old file could not be read
    PayloadReadFailed, // the payload could not be read
    SinkRefused,       // the output could not be written
    Stopped,           // the caller asked to stop
    OutOfMemory,       // a buffer within the limits could not be had
};

// A short, fixed description of the error for people.
const char* Describe(Error error);

// Why decoding or encoding failed and where: `offset` is a position in the payload.
using Failure = plumbing::Failure<Error>;

} // namespace blockdiff
