#include "BlockError.h"

namespace blockdiff {

const char* Describe(Error error) {
    switch (error) {
    case Error::None:
        return "no error";
    case Error::Truncated:
        return "the block delta ends early";
    case Error::BadMagic:
        return "not a block delta";
    case Error::TooLarge:
        return "a size in the block delta is larger than allowed";
    case Error::Corrupt:
        return "the block delta is corrupt";
    case Error::UnknownCoder:
        return "a stream of the block delta uses an unknown compression";
    case Error::StreamCorrupt:
        return "a compressed stream of the block delta is damaged";
    case Error::BadCover:
        return "a cover lies outside the old file or its block";
    case Error::ChecksumMismatch:
        return "a block does not match its checksum";
    case Error::SourceReadFailed:
        return "the old file could not be read";
    case Error::PayloadReadFailed:
        return "the block delta could not be read";
    case Error::SinkRefused:
        return "the output could not be written";
    case Error::Stopped:
        return "stopped on request";
    case Error::OutOfMemory:
        return "not enough memory";
    }
    return "unknown error";
}

} // namespace blockdiff
