#pragma once
#include "Failure.h"

namespace recode {

enum class Error {
    None,
    Truncated,         // the payload ends inside its tables or a parse
    BadMagic,          // not a recoded payload
    BadTables,         // a stream table field out of range, pieces out of order
    OldStreamMismatch, // an old stream does not inflate to what the tables say
    DeltaFailed,       // the block delta of the expanded files failed (see its failure)
    RebuildFailed,     // a new stream could not be rebuilt as the tables say
    SourceReadFailed,  // the old file could not be read
    PayloadReadFailed, // the payload could not be read
    ScratchFailed,     // a scratch file could not be written or read
    SinkRefused,       // the output could not be written
    Stopped,           // the caller asked to stop
    OutOfMemory,       // a buffer within the limits could not be had
};

// A short, fixed description of the error for people.
const char* Describe(Error error);

// Why decoding failed and where: `offset` is a position in the payload, or for an old
// stream or a rebuilt one its index.
using Failure = plumbing::Failure<Error>;

} // namespace recode
