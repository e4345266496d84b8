#pragma once
#include "RecodeError.h"
#include "Sink.h"
#include "Source.h"
#include "StreamTables.h"
#include "Tick.h"

#include <cstdint>

namespace recode {

// Writes the new file to `result` from the expanded new file: the bytes between streams as
// they are, each listed stream rebuilt from its content (copied from the old file, deflated by
// zlib or written from its parse) into its pieces, the gaps between them as they come.
// `expanded` has been checked to hold ExpandedSize(newSize, tables.newStreams) bytes. A
// parse is read from the payload as the writer needs it, a piece of each of its five
// streams at a time, so its size costs no memory. The work is linear in the expanded file
// and the parses.
// `parses` holds the parses at their offsets: the payload, or the expanded new file.
bool RebuildNew(const StreamTables& tables, uint64_t newSize, plumbing::Source& parses,
                plumbing::Source& old, plumbing::Source& expanded, plumbing::Sink& result,
                const plumbing::Tick& tick, Failure& failure);

} // namespace recode
