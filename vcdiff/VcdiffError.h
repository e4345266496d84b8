#pragma once

namespace vcdiff {

enum class Error {
    None,
    Truncated,              // the delta ended in the middle of a header or window
    BadMagic,               // not a VCDIFF stream
    UnsupportedVersion,     // a header version other than 0
    UnsupportedCodeTable,   // an application-defined code table
    UnsupportedCompression, // secondary compression of sections
    Corrupt,                // a malformed field: bad integer, indicator, instruction or size
    WindowTooLarge,         // a window beyond the decoder's limits
    BadAddress,             // a COPY address outside the source segment or the data decoded so far
    SourceOutOfRange,       // a source segment beyond the source file, or no source given
    ChecksumMismatch,       // a window's Adler-32 does not match its decoded bytes
    SourceReadFailed,       // the source could not be read
    SinkRefused,            // the sink failed or asked to stop
    OutOfMemory,            // a buffer within the limits could not be allocated
    Cancelled,              // the encoder's progress callback asked to stop
};

// A short, fixed description of the error for people.
const char* Describe(Error error);

} // namespace vcdiff
