#pragma once
#include "FileSystem.h"
#include "PatchFormat.h"
#include "Sink.h"
#include "Tick.h"

namespace patchfile {

enum class PayloadResult {
    Ok,
    ReadFailed,  // the patch file could not be read (see the IoError)
    Corrupt,     // not a zlib stream, a damaged one, or bytes after its end
    Refused,     // the sink returned false or the tick asked to stop
    OutOfMemory, // zlib could not get its working memory
};

// Inflates one entry's payload from the patch file into `sink`, a chunk at a time: memory
// stays bounded whatever the payload's size. The zlib stream must end exactly at the
// payload's end.
PayloadResult InflatePayload(InputFile& patch, const PatchEntry& entry, plumbing::Sink& sink,
                             IoError& io);

// Whether the payload's bytes have its recorded CRC-32 (Ok or Corrupt).
PayloadResult CheckPayloadChecksum(InputFile& patch, const PatchEntry& entry,
                                   const plumbing::Tick& tick, IoError& io);

} // namespace patchfile
