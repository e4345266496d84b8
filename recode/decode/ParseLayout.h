#pragma once
#include "PredictorConfig.h"
#include "Streams.h"

#include <cstdint>

namespace recode {

// Where the parts of a serialized parse lie: its head of varints (the content's and the
// stream's sizes, for a predicted parse its predictor's config, then the streams' lengths),
// then the streams back to back. A parse (SerializeParse) has five streams, a predicted
// one (SerializePredictedParse) four.
struct ParseLayout {
    static constexpr size_t kMaxStreams = 5;
    uint64_t contentBytes = 0;
    uint64_t deflateBytes = 0;
    deflatestream::PredictorConfig config; // a predicted parse's
    size_t streamCount = 0;
    uint64_t streamBytes[kMaxStreams] = {};
    uint64_t headBytes = 0;
};

// Reads the head from `head` (the parse's bytes from its start); false when it is damaged
// or the streams' lengths do not add up to exactly `parseBytes` with it.
bool ReadParseLayout(deflatestream::ByteInput& head, uint64_t parseBytes, ParseLayout& layout);
bool ReadPredictedLayout(deflatestream::ByteInput& head, uint64_t parseBytes, ParseLayout& layout);

} // namespace recode
