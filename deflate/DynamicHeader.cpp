#include "DynamicHeader.h"

#include "Refusal.h"

namespace deflatestream {

using plumbing::Refuse;

bool DynamicHeader::Start(unsigned hlit, unsigned hdist, unsigned hclen, std::string& why) {
    literals_ = hlit + format::kFirstLengthSymbol;
    distances_ = hdist + 1;
    codeLengthCount_ = hclen + 4;
    given_ = 0;
    // zlib's inflate refuses these too; the five bits could say 288 and 32.
    if (literals_ > format::kLengthSymbols || distances_ > format::kDistanceSymbols) {
        return Refuse(why, "too many length or distance symbols");
    }
    if (codeLengthCount_ > format::kCodeLengthSymbols) {
        return Refuse(why, "too many code-length code lengths");
    }
    return true;
}

bool DynamicHeader::SetCodeLengthLengths(const uint8_t* lengths, std::string& why) {
    uint8_t bySymbol[format::kCodeLengthSymbols] = {};
    for (unsigned i = 0; i < codeLengthCount_; ++i) {
        if (lengths[i] > 7) {
            return Refuse(why, "code-length code length beyond 7 bits");
        }
        bySymbol[format::kCodeLengthOrder[i]] = lengths[i];
    }
    return codeLengthCode_.Build(bySymbol, format::kCodeLengthSymbols, CodeUse::kCodeLengths, why);
}

unsigned DynamicHeader::ExtraBits(unsigned symbol) {
    switch (symbol) {
    case format::kCodeLengthRepeat:
        return 2;
    case format::kCodeLengthZeros:
        return 3;
    case format::kCodeLengthZerosLong:
        return 7;
    default:
        return 0;
    }
}

bool DynamicHeader::Apply(unsigned symbol, unsigned extra, std::string& why) {
    const unsigned total = literals_ + distances_;
    if (symbol >= format::kCodeLengthSymbols || extra >= 1u << ExtraBits(symbol)) {
        return Refuse(why, "bad code-length symbol");
    }
    if (given_ == total) {
        return Refuse(why, "code lengths beyond the block's symbols");
    }
    if (symbol < format::kCodeLengthRepeat) {
        lengths_[given_++] = static_cast<uint8_t>(symbol);
        return true;
    }
    unsigned repeat = 0;
    uint8_t value = 0;
    if (symbol == format::kCodeLengthRepeat) {
        if (given_ == 0) {
            return Refuse(why, "repeat of a code length before the first");
        }
        value = lengths_[given_ - 1];
        repeat = 3 + extra;
    } else {
        repeat = (symbol == format::kCodeLengthZeros ? 3 : 11) + extra;
    }
    if (repeat > total - given_) {
        return Refuse(why, "code lengths beyond the block's symbols");
    }
    for (unsigned i = 0; i < repeat; ++i) {
        lengths_[given_++] = value;
    }
    return true;
}

bool DynamicHeader::BuildCodes(HuffmanCode& literals, HuffmanCode& distances,
                               std::string& why) const {
    if (lengths_[format::kEndOfBlock] == 0) {
        return Refuse(why, "no code for the end of the block");
    }
    return literals.Build(lengths_, literals_, CodeUse::kLiterals, why) &&
           distances.Build(lengths_ + literals_, distances_, CodeUse::kDistances, why);
}

} // namespace deflatestream
