#pragma once
#include "Sink.h"
#include "Source.h"
#include "VcdiffError.h"

#include <cstdint>
#include <functional>

namespace vcdiff {

struct EncoderOptions {
    // Target window size; at most 16 MiB so that common decoders accept the delta (larger
    // values are cut to 16 MiB, 0 means the default).
    uint32_t targetWindow = 8u << 20;
    // Add the Adler-32 of each target window (the extension common encoders write).
    bool windowChecksum = true;
    // Largest part of the source one target window is matched against (0: the default).
    // A source up to this size is matched whole; in a larger one each window gets a segment
    // of this size around the position where its bytes are expected.
    uint32_t maxSourceSegment = 32u << 20;
    // Hash chain entries examined per position: more finds better matches, more slowly. At 1
    // there are no chains: about 4 (S + W) bytes less memory, for weaker matches.
    uint32_t searchDepth = 64;
};

// Called now and then with the target bytes encoded so far; returning false stops encoding.
using EncodeProgress = std::function<bool(uint64_t doneBytes)>;

// Writes a standard VCDIFF delta that turns `source` (may be null: no source) into `target`,
// using only VCD_SOURCE and source-less windows, with the default code table and no
// secondary compression or application header. Each target window is matched against a
// bounded segment of the source and its own earlier bytes.
//
// Memory, whatever the file sizes, with S = maxSourceSegment and W = targetWindow:
// S + W bytes of data, 4 (S + W) bytes of hash chains, 32 MiB of hash heads (16 MiB when the
// target is one window), 16 MiB for the long strings of the segment, and the window's
// sections (about W at worst): about 5 (S + W) + W + 48 MiB, 256 MiB with the defaults.
//
// Returns Error::None on success, Error::SourceReadFailed when `source` or `target` cannot be
// read, Error::SinkRefused when `delta` refuses bytes, Error::Cancelled when `progress`
// returns false, Error::OutOfMemory when the buffers cannot be allocated.
Error Encode(plumbing::Source* source, plumbing::Source& target, plumbing::Sink& delta,
             const EncoderOptions& options = {}, const EncodeProgress& progress = {});

} // namespace vcdiff
