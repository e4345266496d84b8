#pragma once
#include "DeflateFormat.h"
#include "HuffmanCode.h"

#include <cstdint>
#include <string>

namespace deflatestream {

// A dynamic block's header as it is decoded or re-sent: the three counts, the code-length
// code, and the lengths its symbols give, one symbol at a time. The parser and the writer
// share it, so that both accept the same headers.
class DynamicHeader {
public:
    // hlit, hdist and hclen as the stream's bits say (without their bases); false when a
    // count is beyond what deflate allows.
    bool Start(unsigned hlit, unsigned hdist, unsigned hclen, std::string& why);
    unsigned CodeLengthCount() const { return codeLengthCount_; }
    // The code-length code lengths in the order sent; builds that code.
    bool SetCodeLengthLengths(const uint8_t* lengths, std::string& why);
    const HuffmanCode& CodeLengthCode() const { return codeLengthCode_; }

    static unsigned ExtraBits(unsigned symbol);
    // One code-length symbol and its extra bits; false when it repeats nothing or runs past
    // the lengths the counts call for.
    bool Apply(unsigned symbol, unsigned extra, std::string& why);
    bool Complete() const { return given_ == literals_ + distances_; }
    // Once complete: the block's two codes.
    bool BuildCodes(HuffmanCode& literals, HuffmanCode& distances, std::string& why) const;

private:
    unsigned literals_ = 0;
    unsigned distances_ = 0;
    unsigned codeLengthCount_ = 0;
    unsigned given_ = 0;
    uint8_t lengths_[format::kLengthSymbols + format::kDistanceSymbols + 2] = {};
    HuffmanCode codeLengthCode_;
};

} // namespace deflatestream
