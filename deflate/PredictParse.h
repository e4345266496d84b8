#pragma once
#include "DeflateParse.h"
#include "PredictedParse.h"

#include <cstddef>
#include <cstdint>

namespace deflatestream {

// The parse told as corrections to the prediction with `config` (valid). False when the
// parse does not describe this content, or when the prediction fails (its work beyond its
// bound): such a stream keeps its plain parse. With `maxTokens`, stops after that many
// tokens, for trying settings on the start of a stream: `predicted` then holds the
// corrections so far and the result is true.
bool PredictParse(const DeflateParse& parse, const uint8_t* content, size_t size,
                  const PredictorConfig& config, PredictedParse& predicted,
                  uint64_t maxTokens = UINT64_MAX);

struct PredictSearchLimits {
    // Tokens of the stream's start each candidate is tried on, before the best one predicts
    // the whole stream.
    uint64_t trialTokens = 1u << 16;
};

// The predicted parse of the settings, among zlib's nine levels, whose corrections on the
// stream's start are the fewest; false when none predicts the stream.
bool FindPredictedParse(const DeflateParse& parse, const uint8_t* content, size_t size,
                        PredictedParse& predicted, const PredictSearchLimits& limits = {});

} // namespace deflatestream
