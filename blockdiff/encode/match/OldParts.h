#pragma once
#include "SampledStrings.h"
#include "Source.h"
#include "SuffixIndex.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// The parts of an old file worth indexing for one slice of the new file: those its sampled
// strings voted for most (at least kMinVotes), each with its neighbours where they had a vote
// too (a match may run across the edge), at most `budget` bytes in all, in file order and
// merged where they touch.
std::vector<SuffixIndex::Region> ChooseOldParts(const std::vector<uint32_t>& votes,
                                                uint64_t oldSize, size_t budget);

constexpr uint32_t kMinVotes = 8;

// Reads the regions (whose textStart and length say where they go) from `old` into `text`.
bool ReadOldParts(plumbing::Source& old, const std::vector<SuffixIndex::Region>& regions,
                  std::vector<uint8_t>& text);

} // namespace blockdiff
