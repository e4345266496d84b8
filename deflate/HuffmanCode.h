#pragma once
#include "BitReader.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream {

// What a code's lengths may leave unused. A code must be complete; only a code of a single
// symbol of one bit may leave the other bit unused (zlib's inflate accepts that for literals
// and distances, never for the code-length code), and a distance code may be empty.
enum class CodeUse { kCodeLengths, kLiterals, kDistances };

// A canonical Huffman code given by its lengths: decoding (a table of the first bits, then
// the canonical walk for longer codes) and the bit-reversed codes a writer sends.
class HuffmanCode {
public:
    // False, with the reason, when the lengths make no code deflate allows.
    bool Build(const uint8_t* lengths, unsigned symbols, CodeUse use, std::string& why);

    enum class Decoded { kSymbol, kBadCode, kEnded };
    // kBadCode when the bits make no symbol, kEnded when the input ends inside one.
    Decoded Decode(BitReader& reader, unsigned& symbol) const;

    unsigned Symbols() const { return symbols_; }
    uint8_t Length(unsigned symbol) const { return lengths_[symbol]; }
    // The code with its first bit lowest, as it goes into the stream.
    uint16_t Code(unsigned symbol) const { return codes_[symbol]; }

private:
    static constexpr unsigned kRootBits = 10;
    Decoded DecodeLong(BitReader& reader, unsigned& symbol) const;

    unsigned symbols_ = 0;
    unsigned rootBits_ = 1;
    std::array<uint8_t, 288> lengths_{};
    std::array<uint16_t, 288> codes_{};
    // Per length, how many codes; the symbols sorted by code.
    std::array<uint16_t, 16> counts_{};
    std::array<uint16_t, 288> sorted_{};
    // Per root entry: symbol << 4 | length, or 0 when the code is longer than the root.
    std::vector<uint16_t> root_;
};

} // namespace deflatestream
