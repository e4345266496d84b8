#include "PayloadHeader.h"

#include "BlockFormat.h"
#include "LittleEndian.h"

#include <cstring>
#include <string>

namespace blockdiff {

void AppendPayloadHeader(uint64_t resultSize, bool predicted, std::vector<uint8_t>& out) {
    const uint8_t* magic = predicted ? format::kPredictedMagic : format::kMagic;
    out.insert(out.end(), magic, magic + sizeof format::kMagic);
    plumbing::AppendLittleEndian(out, resultSize, 8);
}

bool ParsePayloadHeader(const uint8_t* bytes, uint64_t& resultSize, bool& predicted,
                        Failure& failure) {
    predicted = std::memcmp(bytes, format::kPredictedMagic, sizeof format::kPredictedMagic) == 0;
    PLUMBING_FAIL_IF(!predicted && std::memcmp(bytes, format::kMagic, sizeof format::kMagic) != 0,
                     failure, Error::BadMagic, "the payload does not start with the block magic",
                     0);
    resultSize = plumbing::LoadLittleEndian(bytes + sizeof format::kMagic, 8);
    PLUMBING_FAIL_IF(resultSize > format::kMaxResultSize, failure, Error::TooLarge,
                     "a result of " + std::to_string(resultSize) + " bytes", sizeof format::kMagic);
    return true;
}

} // namespace blockdiff
