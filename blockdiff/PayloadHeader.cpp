#include "PayloadHeader.h"

#include "BlockFormat.h"
#include "LittleEndian.h"

#include <cstring>
#include <string>

namespace blockdiff {

void AppendPayloadHeader(uint64_t resultSize, std::vector<uint8_t>& out) {
    out.insert(out.end(), std::begin(format::kMagic), std::end(format::kMagic));
    AppendLittleEndian(out, resultSize, 8);
}

bool ParsePayloadHeader(const uint8_t* bytes, uint64_t& resultSize, Failure& failure) {
    BLOCKDIFF_FAIL_IF(std::memcmp(bytes, format::kMagic, sizeof format::kMagic) != 0, failure,
                      Error::BadMagic, "the payload does not start with the block magic", 0);
    resultSize = LoadLittleEndian(bytes + sizeof format::kMagic, 8);
    BLOCKDIFF_FAIL_IF(resultSize > format::kMaxResultSize, failure, Error::TooLarge,
                      "a result of " + std::to_string(resultSize) + " bytes",
                      sizeof format::kMagic);
    return true;
}

} // namespace blockdiff
