#pragma once
#include "DeflateParse.h"
#include "Streams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream {

struct ParseLimits {
    // A stream that inflates beyond this is refused: the caller's cap on a bomb's output.
    uint64_t maxContentBytes = UINT64_MAX;
};

// What a stream shows of its encoder's settings beyond the parse, for the zlib search.
struct StreamFacts {
    uint64_t blocks = 0;
    // The first block's type and how many literals and matches it holds.
    uint8_t firstBlockType = 0;
    bool firstBlockFinal = false;
    uint64_t firstBlockSymbols = 0;
    unsigned longestDistance = 0;
};

// Parses one raw deflate stream (RFC 1951) from its first byte to the end of its final
// block: the content goes to `content` in pieces, the rest into `parse` (whose streams it
// replaces). Whatever follows the stream in `stream` may have been read but is no part of
// it: parse.streamBytes says where it ends. Refuses, with the reason, what zlib's inflate
// refuses: a reserved block type, bad or over-subscribed or incomplete codes (except a
// code of one symbol), lengths or distances beyond the format, a distance beyond the
// content so far, a stored block whose NLEN is not ~LEN, and a stream that ends early.
// Memory stays bounded whatever the stream's size beyond the parse itself; the work is
// linear in the stream and the content.
bool ParseDeflate(ByteInput& stream, ByteOutput& content, DeflateParse& parse, std::string& why,
                  const ParseLimits& limits = {}, StreamFacts* facts = nullptr);

// The same over bytes in memory, the content into a vector.
bool ParseDeflate(const uint8_t* stream, size_t size, std::vector<uint8_t>& content,
                  DeflateParse& parse, std::string& why, const ParseLimits& limits = {},
                  StreamFacts* facts = nullptr);

} // namespace deflatestream
