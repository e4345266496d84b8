#pragma once
#include "PredictorConfig.h"
#include "Streams.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream {

// A parse told as a prediction: a match finder of the zlib family with `config` runs over
// the content (MatchPredictor), and only where the stream's tokens differ from what it
// predicts are they written down. For GNU gzip's, Info-ZIP's and zlib's streams that is
// almost nowhere; the block structure stays as the plain parse keeps it.
//
//   blocks:      as in DeflateParse (the per-block counts of matches included);
//   tails:       per fixed or dynamic block, the literals before its end (varint): where
//                the block ends in its last run of literals;
//   corrections: per token the stream sends otherwise than predicted, the count of
//                predicted tokens sent as they are before it (varint), then the token sent:
//                0 for a literal, else its length - 2 (varint) and its distance - 1
//                (varint); never the predicted token itself;
//   longLengths: as in DeflateParse.
// Bytes in stored blocks are passed over by the prediction as literals that need no
// correction.
struct PredictedParse {
    PredictorConfig config;
    std::vector<uint8_t> blocks;
    std::vector<uint8_t> tails;
    std::vector<uint8_t> corrections;
    std::vector<uint8_t> longLengths;
    uint64_t contentBytes = 0;
    uint64_t streamBytes = 0;
};

bool operator==(const PredictedParse& a, const PredictedParse& b);

// The two sizes (varints), the config (PutPredictorConfig), the four streams' lengths
// (varints), then the streams. Reading refuses what writing cannot have written.
std::vector<uint8_t> SerializePredictedParse(const PredictedParse& parse);
bool DeserializePredictedParse(const uint8_t* data, size_t size, PredictedParse& parse);

// Its four streams read a piece at a time, as ParseInputs.
struct PredictedInputs {
    PredictorConfig config;
    ByteInput& blocks;
    ByteInput& tails;
    ByteInput& corrections;
    ByteInput& longLengths;
    uint64_t contentBytes = 0;
    uint64_t streamBytes = 0;
};

// Writes the stream a predicted parse describes over its content, which it reads twice:
// `content` for the writer, `contentAgain` (the same bytes from their start) for the
// predictor. Hostile input is refused with the reason as WriteDeflate's is; memory is the
// writer's and the predictor's (MatchPredictor), the work linear in the content.
bool WritePredicted(const PredictedInputs& parse, ByteInput& content, ByteInput& contentAgain,
                    ByteOutput& stream, std::string& why);
bool WritePredicted(const PredictedParse& parse, const uint8_t* content, size_t size,
                    std::vector<uint8_t>& stream, std::string& why);

} // namespace deflatestream
