#pragma once
#include "BlockHeader.h"
#include "RawBlock.h"
#include "StreamChoice.h"

#include <cstdint>
#include <vector>

namespace blockdiff {

// One block as it goes into the payload: its header and its stored streams, back to back.
struct EncodedBlock {
    BlockHeader header;
    std::vector<uint8_t> bytes;
};

// Chooses the form of the differences and each stream's coder (StreamChoice.h): the sparse
// form unless the dense one is smaller by more than SmallEnoughToPrefer allows, since it is
// the quicker to apply. False when an encoder could not get its memory.
bool CompressBlock(const RawBlock& raw, CoderSet allowed, EncodedBlock& block);

} // namespace blockdiff
