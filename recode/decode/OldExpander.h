#pragma once
#include "RecodeError.h"
#include "Sink.h"
#include "Source.h"
#include "StreamTables.h"
#include "Tick.h"

namespace recode {

// Writes the old file expanded to `out`: each listed stream inflated (zlib's raw inflate) in
// place of its pieces, then the bytes between its pieces, the rest as it is. A stream must
// end exactly at its last piece's end and inflate to exactly its declared content; inflating
// stops as soon as it would give more, so a bomb costs no more than the tables declared.
bool ExpandOld(plumbing::Source& old, const FileStreams& streams, plumbing::Sink& out,
               const plumbing::Tick& tick, Failure& failure);

} // namespace recode
