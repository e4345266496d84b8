#pragma once
#include "Parser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream {

// The settings of zlib's deflate that decide its output, for a raw stream (no wrapper).
struct ZlibParameters {
    int level = 6;       // 0 to 9
    int memLevel = 8;    // 1 to 9
    int windowBits = 15; // 9 to 15
    int strategy = 0;    // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED
};

bool operator==(const ZlibParameters& a, const ZlibParameters& b);
std::string Describe(const ZlibParameters& parameters);

// What a wrapper or the stream's first block says about its encoder: tried first.
struct ZlibHints {
    // A zlib header's FLEVEL (0 to 3), or -1.
    int levelClass = -1;
    // A zlib header's window size, or -1.
    int windowBits = -1;
    // The memLevel whose symbol buffer the first block filled, or -1: then the only one
    // tried. Else the smallest whose buffer holds the first block; 10 when none does.
    int memLevel = -1;
    int minMemLevel = 1;
    // The smallest window whose reach (its size less zlib's 262 bytes of look-ahead) covers
    // the stream's longest distance; 16 when no zlib window does.
    int minWindowBits = 9;
};

// Reads a zlib header's two bytes into hints; false when they are no zlib header.
bool HintsFromZlibHeader(const uint8_t* header, size_t size, ZlibHints& hints);
// zlib (without flushes, which the search does not try) ends a block only when its symbol
// buffer of 2^(memLevel + 6) - 1 symbols is full or the input ends, and reaches back no
// further than its window less 262 bytes.
void HintsFromFacts(const StreamFacts& facts, ZlibHints& hints);

struct ZlibSearchLimits {
    // Candidates tried at most; each stops at the first byte that differs.
    unsigned maxCandidates = 2000;
};

// Deflates `content` with zlib under each candidate setting, likely ones first, until one
// gives `stream` byte for byte (a raw deflate stream, as ParseDeflate sees it). `tried`
// says how many were deflated. Every candidate stops at its first differing byte.
bool FindZlibParameters(const uint8_t* content, size_t contentSize, const uint8_t* stream,
                        size_t streamSize, const ZlibHints& hints, ZlibParameters& found,
                        unsigned& tried, const ZlibSearchLimits& limits = {});

// The raw stream zlib writes for `content` under `parameters`; false when zlib fails.
bool ZlibDeflate(const ZlibParameters& parameters, const uint8_t* content, size_t size,
                 std::vector<uint8_t>& stream);

} // namespace deflatestream
