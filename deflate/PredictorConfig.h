#pragma once
#include "ParseBytes.h"

#include <cstdint>
#include <vector>

namespace deflatestream {

// The settings of a match finder of the zlib family (zlib, GNU gzip and Info-ZIP share one
// ancestor): the level's tuning, whether it matches lazily, its hash and its window. A
// predicted parse names them, so they come from a hostile patch: every field has a cap, and
// the caps bound the predictor's memory and work.
struct PredictorConfig {
    bool lazy = true;        // lazy matching (levels 4 to 9), else the fast one (1 to 3)
    uint16_t good = 8;       // a match this long cuts the next search's chain to a quarter
    uint16_t maxLazy = 16;   // lazy: no search after a match this long; fast: the longest
                             // match whose strings are all hashed
    uint16_t nice = 128;     // a search stops at a match this long
    uint16_t maxChain = 128; // candidates one search looks at, at most
    uint8_t hashBits = 15;   // zlib's memLevel + 7
    uint8_t windowBits = 15;
};

constexpr unsigned kMinHashBits = 8;
constexpr unsigned kMaxHashBits = 16;
constexpr unsigned kMinWindowBits = 9;
constexpr unsigned kMaxWindowBits = 15;
// zlib's longest chain (level 9).
constexpr unsigned kMaxChain = 4096;
constexpr unsigned kMaxTuning = 258; // good, maxLazy and nice: a match is no longer

// The level's settings from the table zlib, gzip and Info-ZIP share (1 to 9), hash and window
// at their defaults.
PredictorConfig LevelConfig(unsigned level);

bool ValidPredictorConfig(const PredictorConfig& config);

// Seven varints: lazy, good, maxLazy, nice, maxChain, hashBits, windowBits. Reading refuses
// a config ValidPredictorConfig refuses.
void PutPredictorConfig(std::vector<uint8_t>& out, const PredictorConfig& config);
bool ReadPredictorConfig(ByteReader& in, PredictorConfig& config);

bool operator==(const PredictorConfig& a, const PredictorConfig& b);

} // namespace deflatestream
