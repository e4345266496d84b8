#include "RecodeError.h"

namespace recode {

const char* Describe(Error error) {
    switch (error) {
    case Error::None:
        return "no error";
    case Error::Truncated:
        return "the recoded payload ends early";
    case Error::BadMagic:
        return "not a recoded payload";
    case Error::BadTables:
        return "the stream tables are damaged";
    case Error::OldStreamMismatch:
        return "an old stream does not inflate as the payload says";
    case Error::DeltaFailed:
        return "the delta of the expanded files failed";
    case Error::RebuildFailed:
        return "a new stream cannot be rebuilt";
    case Error::SourceReadFailed:
        return "the old file could not be read";
    case Error::PayloadReadFailed:
        return "the payload could not be read";
    case Error::ScratchFailed:
        return "a scratch file could not be written or read";
    case Error::SinkRefused:
        return "the output could not be written";
    case Error::Stopped:
        return "stopped";
    case Error::OutOfMemory:
        return "out of memory";
    }
    return "unknown error";
}

} // namespace recode
