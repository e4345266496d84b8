#include "PredictorConfig.h"

namespace deflatestream {

namespace {

struct Tuning {
    uint16_t good, maxLazy, nice, maxChain;
};

// zlib's configuration_table, the same in GNU gzip and Info-ZIP.
constexpr Tuning kLevels[10] = {{0, 0, 0, 0},        {4, 4, 8, 4},      {4, 5, 16, 8},
                                {4, 6, 32, 32},      {4, 4, 16, 16},    {8, 16, 32, 32},
                                {8, 16, 128, 128},   {8, 32, 128, 256}, {32, 128, 258, 1024},
                                {32, 258, 258, 4096}};
constexpr unsigned kFastLevels = 3;

} // namespace

PredictorConfig LevelConfig(unsigned level) {
    const Tuning& tuning = kLevels[level < 1 ? 1 : level > 9 ? 9 : level];
    PredictorConfig config;
    config.lazy = level > kFastLevels;
    config.good = tuning.good;
    config.maxLazy = tuning.maxLazy;
    config.nice = tuning.nice;
    config.maxChain = tuning.maxChain;
    return config;
}

bool ValidPredictorConfig(const PredictorConfig& c) {
    return c.good <= kMaxTuning && c.maxLazy <= kMaxTuning && c.nice >= 3 && c.nice <= kMaxTuning &&
           c.maxChain >= 1 && c.maxChain <= kMaxChain && c.hashBits >= kMinHashBits &&
           c.hashBits <= kMaxHashBits && c.windowBits >= kMinWindowBits &&
           c.windowBits <= kMaxWindowBits;
}

void PutPredictorConfig(std::vector<uint8_t>& out, const PredictorConfig& c) {
    for (uint64_t field :
         {uint64_t(c.lazy), uint64_t(c.good), uint64_t(c.maxLazy), uint64_t(c.nice),
          uint64_t(c.maxChain), uint64_t(c.hashBits), uint64_t(c.windowBits)}) {
        PutVarint(out, field);
    }
}

bool ReadPredictorConfig(ByteReader& in, PredictorConfig& c) {
    uint64_t fields[7] = {};
    for (uint64_t& field : fields) {
        // Each fits a field of its width only within its cap, so a larger one is refused
        // before it is narrowed.
        if (!in.Varint(field) || field > kMaxChain) {
            return false;
        }
    }
    if (fields[0] > 1) {
        return false;
    }
    c.lazy = fields[0] == 1;
    c.good = static_cast<uint16_t>(fields[1]);
    c.maxLazy = static_cast<uint16_t>(fields[2]);
    c.nice = static_cast<uint16_t>(fields[3]);
    c.maxChain = static_cast<uint16_t>(fields[4]);
    c.hashBits = static_cast<uint8_t>(fields[5]);
    c.windowBits = static_cast<uint8_t>(fields[6]);
    return ValidPredictorConfig(c);
}

bool operator==(const PredictorConfig& a, const PredictorConfig& b) {
    return a.lazy == b.lazy && a.good == b.good && a.maxLazy == b.maxLazy && a.nice == b.nice &&
           a.maxChain == b.maxChain && a.hashBits == b.hashBits && a.windowBits == b.windowBits;
}

} // namespace deflatestream
