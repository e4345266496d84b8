#pragma once
#include "BlockEncoder.h"
#include "StreamPlan.h"

#include <cstdint>
#include <vector>

namespace recode {

struct RecodeOptions {
    blockdiff::EncoderOptions blocks;
    PlanLimits plan;
};

enum class Encoded {
    Ok,
    NoStreams, // neither file holds a deflate stream: the method has nothing to offer
    Failed,    // the block encoder failed or was stopped (see `failure`)
    Unchecked, // the payload did not decode to the new file: never written
};

// Writes the payload of a plan: the tables, then the block delta from the expanded old file
// to the expanded new file followed by the parses. False with `failure` when the block
// encoder fails or is stopped.
bool EncodePlan(const StreamPlan& plan, std::vector<uint8_t>& payload, const RecodeOptions& options,
                const blockdiff::EncodeProgress& progress, blockdiff::Failure& failure);

// Codes `newFile` from `oldFile` as a recoded payload (docs/patch-format.md, "Payload
// method 2") into `payload`: the stream tables and parses (StreamPlan), then the block delta
// from the expanded old file to the expanded new one. Before the payload is handed over it
// is decoded as the engine decodes it and compared with the new file, so a payload that
// would rebuild anything else is never written. Memory: both files, their expanded forms
// and the payload, besides the block encoder's.
Encoded EncodeRecoded(const std::vector<uint8_t>& oldFile, const std::vector<uint8_t>& newFile,
                      std::vector<uint8_t>& payload, const RecodeOptions& options,
                      const blockdiff::EncodeProgress& progress, StreamPlan* report,
                      blockdiff::Failure& failure);

} // namespace recode
