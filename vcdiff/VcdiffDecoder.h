#pragma once
#include "VcdiffError.h"
#include "VcdiffIo.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vcdiff {

struct DecoderLimits {
    // Largest target window accepted; the decoder holds one target window in memory.
    uint64_t maxTargetWindow = 16u << 20;
    // Largest delta encoding of one window (its three sections together).
    uint64_t maxDeltaWindow = 32u << 20;
};

// Streaming VCDIFF (RFC 3284) decoder with the default code table. Delta bytes are fed in
// chunks of any size; decoded bytes go to the sink while a window is decoded, at most
// 1 MiB at a time, so a sink that reports progress is called often.
//
// Input is untrusted: every size, address and count is checked before use. Once the
// decoder has failed it stays failed with the same error.
class Decoder {
public:
    // `source` may be null for a delta that has no VCD_SOURCE window.
    Decoder(Source* source, Sink& sink, DecoderLimits limits = {});
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Decodes as far as the bytes given allow. False once the decoder has failed.
    bool Feed(const void* data, size_t length);
    // The delta has ended: false (Error::Truncated) when a window is incomplete.
    bool Finish();

    Error error() const;
    // One line for a person: what went wrong and where (window number, offset).
    std::string message() const;
    uint64_t targetBytesWritten() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace vcdiff
