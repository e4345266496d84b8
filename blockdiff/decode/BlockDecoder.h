#pragma once
#include "BlockError.h"
#include "Sink.h"
#include "Source.h"
#include "StreamCoder.h"

namespace blockdiff {

// Rebuilds a new file from the old one and a block delta payload (docs/patch-format.md,
// "Block delta payload"), block by block.
//
// `payload` holds exactly the payload; it is read at increasing offsets. `old` is the old file,
// read on demand (may be null when no cover reads it). `result` receives the new file in order, in
// writes of at most kMaxDecoderWrite bytes, and only blocks whose CRC-32 matched: a damaged block
// never reaches it. `tick` (may be empty) is called before each block, after every 256 KiB or
// so of work and between the pieces of a stream being decompressed; returning false stops the
// decoder with Error::Stopped.
//
// The payload is untrusted: every size, cover and stream is checked before it is used, and
// no input makes the decoder hold more than this, whatever the file sizes:
//   old file cache 2 MiB (plumbing::CachedReader), one block's output (at most 8 MiB), its
//   cover records (at most 2 MiB), its difference positions, differences and literals
//   (together at most the block's output, 8 MiB), the stored bytes of its largest compressed stream
//   (at most its raw size, 8 MiB) and one coder's working memory (at most
//   coders::kMaxDecoderWindow, 16 MiB, plus its fixed state): about 44 MiB; a predicted
//   payload adds the map of its covers with its index (20 bytes a cover: at most 5 MiB, 6 MiB
//   while it grows) and the old image's fields (at most 4 MiB, parsed before the first block
//   in at most x86image::kMaxParseMemory).
//
// Returns true when the whole result was written; otherwise false with `failure` saying why
// and where. Bytes written before a failure are not a valid result: the caller discards them.
bool Decode(plumbing::Source& payload, plumbing::Source* old, plumbing::Sink& result,
            const plumbing::Tick& tick, Failure& failure);

// The most bytes Decode hands to the sink in one write.
constexpr size_t kMaxDecoderWrite = 1u << 20;

} // namespace blockdiff
