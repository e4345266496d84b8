#include "VcdiffError.h"

namespace vcdiff {

const char* Describe(Error error) {
    switch (error) {
    case Error::None:
        return "no error";
    case Error::Truncated:
        return "the delta ends early";
    case Error::BadMagic:
        return "not a VCDIFF delta";
    case Error::UnsupportedVersion:
        return "unsupported VCDIFF version";
    case Error::UnsupportedCodeTable:
        return "the delta uses its own code table, which is not supported";
    case Error::UnsupportedCompression:
        return "the delta uses secondary compression, which is not supported";
    case Error::Corrupt:
        return "the delta is corrupt";
    case Error::WindowTooLarge:
        return "a delta window is larger than allowed";
    case Error::BadAddress:
        return "a copy address lies outside the data available";
    case Error::SourceOutOfRange:
        return "the delta refers to source data that is not there";
    case Error::ChecksumMismatch:
        return "the decoded data does not match the delta's checksum";
    case Error::SourceReadFailed:
        return "the source file could not be read";
    case Error::SinkRefused:
        return "the output could not be written or the operation was stopped";
    case Error::OutOfMemory:
        return "not enough memory";
    case Error::Cancelled:
        return "stopped on request";
    }
    return "unknown error";
}

} // namespace vcdiff
