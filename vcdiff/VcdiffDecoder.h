#pragma once
#include "BuildSizes.h"
#include "Sink.h"
#include "Source.h"
#include "VcdiffError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vcdiff {

struct DecoderLimits {
    // Largest target window accepted; the decoder holds one target window in memory.
    uint64_t maxTargetWindow = quill::SizeFor<uint64_t>(16u << 20, 64u << 10);
    // Largest delta encoding of one window (its three sections together).
    uint64_t maxDeltaWindow = quill::SizeFor<uint64_t>(32u << 20, 128u << 10);
};

// Streaming VCDIFF (RFC 3284) decoder with the default code table. Delta bytes are fed in
// chunks of any size; decoded bytes go to the sink while a window is decoded, at most
// 1 MiB at a time (kMaxDecoderWrite), so a sink that reports progress is called often.
//
// Input is untrusted: every size, address and count is checked before use. Once the
// decoder has failed it stays failed with the same error.
//
// Memory: one window's three sections (at most maxDeltaWindow bytes) plus one target window
// (at most maxTargetWindow bytes) plus a read cache of at most 1 MiB
// (plumbing::CachedReader: 16 blocks of 64 KiB) per segment kind. COPY
// instructions read the source on demand; the source is never held whole.
//
// Supported: VCD_SOURCE and VCD_TARGET windows, an application header (skipped), and the
// per-window Adler-32 checksum (Win_Indicator bit 0x04, four big-endian bytes after the
// section lengths, counted in the delta encoding length), checked when present. Refused with
// their own errors: application-defined code tables and secondary compression.
//
// Output written before a failure is not a valid result: the caller discards it. A window's
// checksum is checked before its last piece is written, so a damaged window of at most
// 1 MiB never reaches the sink.
class Decoder {
public:
    // `source` may be null for a delta that has no VCD_SOURCE window. The decoder does not
    // own it; it must outlive the decoder, as must `sink`.
    Decoder(plumbing::Source* source, plumbing::Sink& sink, DecoderLimits limits = {});
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Only for deltas with VCD_TARGET windows, which copy from output decoded earlier: a
    // reader of the bytes already written to the sink. Without one such a window fails with
    // Error::SourceOutOfRange. The decoder reads only below targetBytesWritten().
    void SetDecodedTargetReader(plumbing::Source* decoded);

    // Decodes as far as the bytes given allow. False once the decoder has failed.
    bool Feed(const void* data, size_t length);
    // The delta has ended: false (Error::Truncated) when a window is incomplete.
    bool Finish();

    Error error() const;
    // One line for a person: what went wrong and where (window number, offset).
    std::string message() const;
    uint64_t targetBytesWritten() const;
    // Windows decoded completely.
    uint64_t windowsDecoded() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The most bytes the decoder hands to the sink in one Write.
constexpr size_t kMaxDecoderWrite = quill::SizeFor<size_t>(1u << 20, 4u << 10);

} // namespace vcdiff
