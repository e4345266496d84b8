#include "BlockCodes.h"

#include "DeflateFormat.h"

namespace deflatestream {

using namespace format;

bool BlockCodes::UseFixed(std::string& why) {
    if (!haveFixed_) {
        // Symbols 286, 287 and distances 30, 31 complete the codes; the parser refuses
        // them and no match asks the writer for them.
        uint8_t lengths[kFixedLiteralSymbols + kDistanceSymbols + 2];
        for (unsigned s = 0; s < kFixedLiteralSymbols; ++s) {
            lengths[s] = FixedLiteralLength(s);
        }
        for (unsigned s = 0; s < kDistanceSymbols + 2; ++s) {
            lengths[kFixedLiteralSymbols + s] = kFixedDistanceLength;
        }
        if (!fixedLiterals_.Build(lengths, kFixedLiteralSymbols, CodeUse::kLiterals, why) ||
            !fixedDistances_.Build(lengths + kFixedLiteralSymbols, kDistanceSymbols + 2,
                                   CodeUse::kDistances, why)) {
            return false;
        }
        haveFixed_ = true;
    }
    literals_ = &fixedLiterals_;
    distances_ = &fixedDistances_;
    return true;
}

bool BlockCodes::UseDynamic(const DynamicHeader& header, std::string& why) {
    literals_ = &dynamicLiterals_;
    distances_ = &dynamicDistances_;
    return header.BuildCodes(dynamicLiterals_, dynamicDistances_, why);
}

} // namespace deflatestream
