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

// Parses `stream`, expects `content`, writes it back and expects every byte of the stream,
// and the parse read back from its serialized form to be the same.
::testing::AssertionResult RoundTrips(const Bytes& stream, const Bytes& content);

} // namespace deflatestream::test
