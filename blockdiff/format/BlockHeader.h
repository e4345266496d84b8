#pragma once
#include "BlockError.h"
#include "BlockFormat.h"
#include "StreamCoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace blockdiff {

struct StreamDescriptor {
    coders::Coder coder = coders::Coder::Store;
    uint32_t rawSize = 0;    // bytes after decoding
    uint32_t storedSize = 0; // bytes in the payload
};

// What one block says of itself before its streams.
struct BlockHeader {
    uint32_t outputSize = 0;
    uint32_t outputCrc = 0;
    format::DifferenceForm form = format::DifferenceForm::Sparse;
    // The differences were taken against the predicted references of the covers.
    bool predicted = false;
    std::array<StreamDescriptor, format::kStreamCount> streams;

    uint64_t StoredBytes() const;
};

void AppendBlockHeader(const BlockHeader& header, std::vector<uint8_t>& out);

// Reads the kBlockHeaderBytes at `bytes` and checks every field that can be checked alone:
// the output size, the form, each stream's coder and sizes against the limits, and that the
// differences and literals together fit in the output. `offset` (of the header in the
// payload) goes into the failure.
bool ParseBlockHeader(const uint8_t* bytes, uint64_t offset, BlockHeader& header, Failure& failure);

} // namespace blockdiff
