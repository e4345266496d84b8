#pragma once
#include "VcdiffError.h"
#include "VcdiffIo.h"

#include <cstdint>
#include <functional>

namespace vcdiff {

struct EncoderOptions {
    // Target window size; at most 16 MiB so that common decoders accept the delta.
    uint32_t targetWindow = 8u << 20;
    // Add the Adler-32 of each target window (the extension common encoders write).
    bool windowChecksum = true;
};

// Called now and then with the target bytes encoded so far; returning false stops encoding.
using EncodeProgress = std::function<bool(uint64_t doneBytes)>;

// Writes a standard VCDIFF delta that turns `source` (may be null: no source) into `target`,
// using only VCD_SOURCE and source-less windows. Memory stays bounded whatever the sizes:
// each target window is matched against a bounded segment of the source. Returns
// Error::None on success.
Error Encode(Source* source, Source& target, Sink& delta, const EncoderOptions& options = {},
             const EncodeProgress& progress = {});

} // namespace vcdiff
