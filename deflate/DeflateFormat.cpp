#include "DeflateFormat.h"

#include <algorithm>
#include <iterator>

namespace deflatestream::format {

unsigned LengthSymbol(unsigned length) {
    if (length == kMaxMatch) {
        return kFirstLengthSymbol + 28;
    }
    // 258 is the last base but only the symbol above spells it usually.
    const auto* above =
        std::upper_bound(std::begin(kLengthBase), std::end(kLengthBase) - 1, length);
    return kFirstLengthSymbol + static_cast<unsigned>(above - std::begin(kLengthBase)) - 1;
}

unsigned DistanceSymbol(unsigned distance) {
    const auto* above =
        std::upper_bound(std::begin(kDistanceBase), std::end(kDistanceBase), distance);
    return static_cast<unsigned>(above - std::begin(kDistanceBase)) - 1;
}

} // namespace deflatestream::format
