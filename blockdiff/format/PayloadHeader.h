#pragma once
#include "BlockError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// `predicted`: a prediction header follows (the predicted magic).
void AppendPayloadHeader(uint64_t resultSize, bool predicted, std::vector<uint8_t>& out);

// Reads the format::kPayloadHeaderBytes at `bytes`: the magic, which says whether a prediction
// header follows, and the size of the result.
bool ParsePayloadHeader(const uint8_t* bytes, uint64_t& resultSize, bool& predicted,
                        Failure& failure);

} // namespace blockdiff
