#pragma once
#include "BuildSizes.h"
#include "Sink.h"
#include "Source.h"
#include "Tick.h"

#include <cstddef>
#include <cstdint>

namespace recode {

// The decoder's unit of work between two ticks: bytes copied, inflated or deflated at once.
constexpr size_t kChunk = quill::SizeFor<size_t>(64 * 1024, 512);
// zlib's deflate at its slowest settings takes the longest per input byte: smaller pieces
// keep the ticks close.
constexpr size_t kDeflateChunk = quill::SizeFor<size_t>(16 * 1024, 512);

enum class Moved { Ok, ReadFailed, WriteRefused, Stopped };

// Copies `length` bytes at `offset` of `from` to `to` a chunk at a time, ticking between.
Moved CopyRange(plumbing::Source& from, uint64_t offset, uint64_t length, plumbing::Sink& to,
                const plumbing::Tick& tick);

} // namespace recode
