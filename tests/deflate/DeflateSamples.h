#pragma once
#include "DeflateParse.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream::test {

using Bytes = std::vector<uint8_t>;

// Deterministic bytes of every value.
Bytes RandomBytes(size_t size, uint32_t seed);
// Words, numbers and line breaks, as in a text or a table.
Bytes TextLike(size_t size, uint32_t seed);
// Text with runs of one byte and long repeats, the matches of 258 and distance 1.
Bytes Repetitive(size_t size, uint32_t seed);

// A raw deflate stream from zlib itself, its input fed in pieces of `piece` bytes.
Bytes ZlibStream(const Bytes& content, int level, int memLevel = 8, int windowBits = 15,
                 int strategy = 0, size_t piece = 1000);
// zlib's stream with a zlib header and Adler-32, as compress2 makes it.
Bytes ZlibWrapped(const Bytes& content, int level);
// A gzip member as zlib writes it (a plain ten-byte header).
Bytes GzipMember(const Bytes& content, int level);

// Packs bits as deflate does, least significant first; Huffman codes most significant
// first. Independent of the writer under test, for streams made by hand.
class BitPacker {
public:
    void Bits(uint32_t value, unsigned count);
    void Code(uint32_t code, unsigned length);
    // A fixed-code symbol (block type 1): literal, end or length symbol.
    void FixedSymbol(unsigned symbol);
    void FixedDistance(unsigned symbol) { Code(symbol, 5); }
    void AlignWith(uint32_t padding);
    Bytes Done() const;

private:
    Bytes bytes_;
    unsigned used_ = 0;
};

// Canonical Huffman codes (most significant bit first) for the lengths; 0 where unused.
std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths);

// A dynamic block's header as sent, for streams made by hand. The default is valid: 258
// literal and length codes of which 'a' has one bit and 256 and 257 two, and a single
// distance code of one bit, the one code deflate allows to leave the other bit unused.
struct DynamicRecipe {
    unsigned hlit = 1;
    unsigned hdist = 0;
    unsigned hclen = 14;
    // The code-length code's lengths in the order sent: 18 has one bit, 1 and 2 two.
    std::vector<uint8_t> codeLengthLengths = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2};
    // Code-length symbols and their extra bits.
    std::vector<std::pair<unsigned, unsigned>> sequence = {{18, 86}, {1, 0}, {18, 127}, {18, 9},
                                                           {2, 0},   {2, 0}, {1, 0}};
};
void PutDynamicHeader(BitPacker& bits, const DynamicRecipe& recipe, bool final);
// The default recipe's block sending "aaaa": 'a', then a match of 3 at distance 1.
void PutDefaultDynamicTokens(BitPacker& bits);

// Parses `stream`, expects `content`, writes it back and expects every byte of the stream,
// and the parse read back from its serialized form to be the same.
::testing::AssertionResult RoundTrips(const Bytes& stream, const Bytes& content);

} // namespace deflatestream::test
