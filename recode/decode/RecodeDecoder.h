#pragma once
#include "BlockError.h"
#include "RecodeError.h"
#include "Scratch.h"
#include "Sink.h"
#include "Source.h"
#include "Tick.h"

#include <cstdint>

namespace recode {

// Rebuilds a new file from the old one and a recoded payload (docs/patch-format.md,
// "Payload method 2") in three passes:
//   1. the old file expanded into `expandedOld`: its listed streams inflated, each refused
//      as soon as it would give more than its declared content;
//   2. the payload's block delta decoded from the expanded old file into `expandedNew`,
//      which must come out at exactly the expanded size the tables give;
//   3. the new file written to `result` from the expanded new one, each listed stream
//      rebuilt in its pieces.
// `payload` holds exactly the payload, `old` the old file (checked against its CRC-32 by the
// caller), `newSize` the new file's size; `result` gets at most newSize bytes in order and
// is checked by the caller against the new file's CRC-32 before it is used, as for every
// method. `tick` is called between pieces of work of at most kChunk bytes; false stops.
//
// Memory, whatever the payload says: the tables (at most kMaxPieces pieces per file, a few
// MiB), the block decoder's (about 44 MiB, blockdiff::Decode, freed before the rebuild), then
// zlib's state and a piece of each of a parse's streams (read as the writer needs them). Work: the
// old file and its declared contents, the expanded new file (at most kMaxInflateRatio times the new
// file) and the parses.
//
// False with `failure` saying why; Error::DeltaFailed carries the block decoder's failure in
// `delta`.
bool Decode(plumbing::Source& payload, plumbing::Source& old, uint64_t newSize,
            Scratch& expandedOld, Scratch& expandedNew, plumbing::Sink& result,
            const plumbing::Tick& tick, Failure& failure, blockdiff::Failure& delta);

} // namespace recode
