#pragma once
#include "BuildSizes.h"
#include "RecodeError.h"
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

// What a failed copy stands for in its caller's terms: the error and detail of a failed read
// and of a refused write (a stop is always Error::Stopped).
struct CopyBlame {
    Error readFailed;
    const char* readDetail;
    Error writeRefused;
    const char* writeDetail;
};

// Records a copy's failure at `at` as `blame` says; true when everything moved.
bool RecordCopy(Moved moved, const CopyBlame& blame, uint64_t at, Failure& failure);

} // namespace recode
