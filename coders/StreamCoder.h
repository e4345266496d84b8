#pragma once
#include "Tick.h"

#include <cstddef>
#include <cstdint>

// The general-purpose compressors that patch data is stored with, one stream at a time.
// A stream is small enough to be held whole (the callers cap it), so both directions work
// on buffers. The decoders are split from the encoders, so that the patch library carries
// decoders only.
namespace coders {

// How one stream is compressed. The values are stored in patch files: never renumber them.
enum class Coder : uint8_t {
    Store = 0,   // the bytes as they are
    Deflate = 1, // a zlib stream (RFC 1950)
    Zstd = 2,    // one zstd frame
    Xz = 3,      // xz's LZMA2 without the .xz container: one byte of LZMA2 properties (the
                 // dictionary size), then the LZMA2 chunks up to their end marker
};
constexpr uint8_t kCoderCount = 4;

// "store", "deflate", "zstd" or "xz"; null for a value that names no coder.
const char* CoderName(Coder coder);
// Whether `value`, as read from a patch file, names a coder.
inline bool IsCoder(uint8_t value) {
    return value < kCoderCount;
}

// What a decoder may take for its window or dictionary, whatever a stream asks for: a
// stream that needs more is refused as damaged, so no input can make it allocate beyond this.
constexpr size_t kMaxDecoderWindow = 16u << 20;

// A stream is decoded in pieces of at most this many output bytes, with a tick between
// them, so that the caller's window stays responsive while a large stream is decoded. LZMA2,
// the slowest decoder, takes some 2 ms for 32 KiB on a busy build machine (128 KiB took 9).
constexpr size_t kTickOutputBytes = 32u << 10;

// Each piece takes at most kTickOutputBytes of input as well, so that input which decodes to
// little output ticks too.

enum class DecodeResult {
    Ok,
    Corrupt,     // damaged, not of that coder, bytes after its end, or of another size than stated
    OutOfMemory, // the decoder could not get its working memory
    Stopped,     // the tick asked to stop
};

// Decodes one whole stream `input` into exactly `outputSize` bytes at `output`. `tick` may
// be empty.
DecodeResult Decode(Coder coder, const uint8_t* input, size_t inputSize, uint8_t* output,
                    size_t outputSize, const plumbing::Tick& tick);

} // namespace coders
