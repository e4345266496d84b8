#pragma once
#include "BlockError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

void AppendPayloadHeader(uint64_t resultSize, std::vector<uint8_t>& out);

// Reads the format::kPayloadHeaderBytes at `bytes`: the magic and the size of the result.
bool ParsePayloadHeader(const uint8_t* bytes, uint64_t& resultSize, Failure& failure);

} // namespace blockdiff
