#pragma once
#include "AddressMap.h"
#include "BlockError.h"
#include "ImageReferences.h"
#include "Source.h"
#include "Tick.h"

#include <cstddef>
#include <cstdint>

// What a predicted payload's decoder gathers before its first block.
namespace blockdiff {

// Parses the old file as an image for the predictor. The old file has been checked against
// its CRC-32, so an old file that is no image, or one beyond the predictor's limits, means the
// payload asks for what its builder never wrote: damage. `references` then holds the fields
// predictor `version` predicts.
// `tick` runs after every tick's work of the parse; a false from it stops the parse as
// Stopped. A failed read of the old file fails it as SourceReadFailed, and a parse short of
// memory as OutOfMemory.
bool ParseOldImage(plumbing::Source* old, uint8_t version, x86image::ImageReferences& references,
                   const plumbing::Tick& tick, Failure& failure);

// Adds one block's cover records (checked as the rebuild checks them) to `map`, the block
// starting at `blockStart` of the new file; at most format::kMaxPredictedCovers in all.
bool MapBlockCovers(const uint8_t* records, size_t size, uint32_t blockOutput, uint64_t oldSize,
                    uint64_t blockStart, uint64_t at, AddressMap& map, Failure& failure);

} // namespace blockdiff
