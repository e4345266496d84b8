#pragma once
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
};

// Reads a zlib header's two bytes into hints; false when they are no zlib header.
bool HintsFromZlibHeader(const uint8_t* header, size_t size, ZlibHints& hints);

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
