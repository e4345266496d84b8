#pragma once
#include "RecodeError.h"
#include "Source.h"
#include "StreamTables.h"

namespace recode {

// Reads the tables at the head of a recoded payload and checks everything they say before
// any of it is used: each file's pieces lie inside it, in file order without overlapping,
// at most kMaxPieces of them; no stream is empty or inflates to more than kMaxInflateRatio
// times its compressed bytes; a copied old stream exists and has the new one's sizes; the
// zlib settings are zlib's; the parses lie inside the payload before the block delta.
// `oldSize` and `newSize` are the entry's file sizes.
bool ReadTables(plumbing::Source& payload, uint64_t oldSize, uint64_t newSize, StreamTables& tables,
                Failure& failure);

} // namespace recode
