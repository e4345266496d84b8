#pragma once
#include "DynamicHeader.h"
#include "HuffmanCode.h"

#include <string>

namespace deflatestream {

// The two codes a block's tokens are sent with: the fixed ones (block type 1), built once
// per stream, since a hostile stream of empty fixed blocks costs ten bits each; or a dynamic
// block's, from its header. The parser and the writer share it.
class BlockCodes {
public:
    BlockCodes() = default;
    BlockCodes(const BlockCodes&) = delete;
    BlockCodes& operator=(const BlockCodes&) = delete;

    bool UseFixed(std::string& why);
    bool UseDynamic(const DynamicHeader& header, std::string& why);
    const HuffmanCode& Literals() const { return *literals_; }
    const HuffmanCode& Distances() const { return *distances_; }

private:
    HuffmanCode fixedLiterals_;
    HuffmanCode fixedDistances_;
    HuffmanCode dynamicLiterals_;
    HuffmanCode dynamicDistances_;
    bool haveFixed_ = false;
    const HuffmanCode* literals_ = &dynamicLiterals_;
    const HuffmanCode* distances_ = &dynamicDistances_;
};

} // namespace deflatestream
