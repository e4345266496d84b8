#include "ZlibParameters.h"

#include "Wrappers.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace deflatestream {

namespace {

constexpr size_t kPieceBytes = 64 * 1024;

// Compares zlib's output with the expected stream piece by piece as it comes, so that a
// wrong setting costs only the content up to its first differing block.
class ZlibRun {
public:
    ZlibRun(const ZlibParameters& parameters, const uint8_t* expected, size_t expectedSize)
        : parameters_(parameters), expected_(expected), expectedSize_(expectedSize) {}

    bool Matches(const uint8_t* content, size_t size) {
        if (parameters_.level == 0) {
            // Stored blocks' sizes depend on how much input and output room each call
            // has: this is zlib's one call with all of both, as compress2 makes it.
            std::vector<uint8_t> stream;
            return ZlibDeflate(parameters_, content, size, stream) &&
                   Same(stream.data(), stream.size()) && compared_ == expectedSize_;
        }
        z_stream z{};
        if (deflateInit2(&z, parameters_.level, Z_DEFLATED, -parameters_.windowBits,
                         parameters_.memLevel, parameters_.strategy) != Z_OK) {
            return false;
        }
        const bool same = Run(z, content, size);
        deflateEnd(&z);
        return same;
    }

private:
    bool Run(z_stream& z, const uint8_t* content, size_t size) {
        uint8_t piece[kPieceBytes];
        size_t fed = 0;
        int result = Z_OK;
        while (result != Z_STREAM_END) {
            // The output does not depend on how the input comes, and a wrong setting shows
            // within its first block.
            const size_t step = std::min(size - fed, kPieceBytes);
            z.next_in = const_cast<uint8_t*>(content + fed);
            z.avail_in = static_cast<uInt>(step);
            fed += step;
            const int flush = fed == size ? Z_FINISH : Z_NO_FLUSH;
            do {
                z.next_out = piece;
                z.avail_out = sizeof(piece);
                result = deflate(&z, flush);
                if (result == Z_STREAM_ERROR) {
                    return false;
                }
                if (!Same(piece, sizeof(piece) - z.avail_out)) {
                    return false;
                }
            } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        }
        return compared_ == expectedSize_;
    }

    bool Same(const uint8_t* data, size_t size) {
        if (size > expectedSize_ - compared_ ||
            std::memcmp(data, expected_ + compared_, size) != 0) {
            return false;
        }
        compared_ += size;
        return true;
    }

    ZlibParameters parameters_;
    const uint8_t* expected_;
    size_t expectedSize_;
    size_t compared_ = 0;
};

// Levels in the order worth trying: those a hint names first, then the common ones.
std::vector<int> LevelOrder(int levelClass) {
    static const int kByClass[4][3] = {{1, -1, -1}, {2, 3, 4}, {6, -1, -1}, {9, 7, 8}};
    std::vector<int> order;
    if (levelClass >= 0 && levelClass < 4) {
        for (int level : kByClass[levelClass]) {
            if (level >= 0) {
                order.push_back(level);
            }
        }
    }
    for (int level : {6, 9, 1, 5, 4, 3, 2, 7, 8, 0}) {
        if (std::find(order.begin(), order.end(), level) == order.end()) {
            order.push_back(level);
        }
    }
    return order;
}

std::vector<int> WindowOrder(int windowBits, int minWindowBits) {
    std::vector<int> order;
    if (windowBits >= minWindowBits && windowBits <= 15) {
        order.push_back(windowBits);
    }
    for (int bits = 15; bits >= std::max(minWindowBits, 9); --bits) {
        if (bits != windowBits) {
            order.push_back(bits);
        }
    }
    return order;
}

std::vector<int> MemLevelOrder(int memLevel, int minMemLevel) {
    if (memLevel >= 1 && memLevel <= 9) {
        return {memLevel};
    }
    std::vector<int> order;
    for (int level : {8, 9, 7, 6, 5, 4, 3, 2, 1}) {
        if (level >= minMemLevel) {
            order.push_back(level);
        }
    }
    return order;
}

// Settings that give the same output are tried once: zlib's fast levels (1 to 3) ignore
// Z_FILTERED, Huffman-only and run-length coding ignore the level, level 0 the strategy.
std::vector<ZlibParameters> Candidates(const ZlibHints& hints) {
    std::vector<ZlibParameters> out;
    const std::vector<int> levels = LevelOrder(hints.levelClass);
    for (int windowBits : WindowOrder(hints.windowBits, hints.minWindowBits)) {
        for (int memLevel : MemLevelOrder(hints.memLevel, hints.minMemLevel)) {
            for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_FIXED}) {
                for (int level : levels) {
                    const bool same = (strategy == Z_FILTERED && level <= 3) ||
                                      (strategy != Z_DEFAULT_STRATEGY && level == 0);
                    if (!same) {
                        out.push_back({level, memLevel, windowBits, strategy});
                    }
                }
            }
            for (int strategy : {Z_HUFFMAN_ONLY, Z_RLE}) {
                out.push_back({9, memLevel, windowBits, strategy});
            }
        }
    }
    return out;
}

} // namespace

bool operator==(const ZlibParameters& a, const ZlibParameters& b) {
    return a.level == b.level && a.memLevel == b.memLevel && a.windowBits == b.windowBits &&
           a.strategy == b.strategy;
}

std::string Describe(const ZlibParameters& p) {
    static const char* const kStrategies[] = {"default", "filtered", "huffman", "rle", "fixed"};
    const char* strategy = p.strategy >= 0 && p.strategy <= 4 ? kStrategies[p.strategy] : "?";
    return "level " + std::to_string(p.level) + " memLevel " + std::to_string(p.memLevel) +
           " windowBits " + std::to_string(p.windowBits) + " " + strategy;
}

bool HintsFromZlibHeader(const uint8_t* header, size_t size, ZlibHints& hints) {
    if (size < 2 || !IsZlibHeader(header)) {
        return false;
    }
    hints.windowBits = std::max((header[0] >> 4) + 8, 9);
    hints.levelClass = header[1] >> 6;
    return true;
}

void HintsFromFacts(const StreamFacts& facts, ZlibHints& hints) {
    constexpr unsigned kLookAhead = 262;
    hints.minWindowBits = 9;
    while (hints.minWindowBits <= 15 &&
           (1u << hints.minWindowBits) - kLookAhead < facts.longestDistance) {
        ++hints.minWindowBits;
    }
    hints.memLevel = -1;
    hints.minMemLevel = 1;
    // A stored first block says nothing: zlib stores a block that would not shrink.
    if (facts.firstBlockType == 0) {
        return;
    }
    for (int memLevel = 1; memLevel <= 9; ++memLevel) {
        const uint64_t buffer = (uint64_t(1) << (memLevel + 6)) - 1;
        if (!facts.firstBlockFinal && facts.firstBlockSymbols == buffer) {
            hints.memLevel = memLevel;
            return;
        }
        if (buffer < facts.firstBlockSymbols || !facts.firstBlockFinal) {
            hints.minMemLevel = memLevel + 1;
        }
    }
}

bool FindZlibParameters(const uint8_t* content, size_t contentSize, const uint8_t* stream,
                        size_t streamSize, const ZlibHints& hints, ZlibParameters& found,
                        unsigned& tried, const ZlibSearchLimits& limits) {
    tried = 0;
    for (const ZlibParameters& candidate : Candidates(hints)) {
        if (tried == limits.maxCandidates) {
            return false;
        }
        ++tried;
        if (ZlibRun(candidate, stream, streamSize).Matches(content, contentSize)) {
            found = candidate;
            return true;
        }
    }
    return false;
}

bool ZlibDeflate(const ZlibParameters& parameters, const uint8_t* content, size_t size,
                 std::vector<uint8_t>& stream) {
    if (size > UINT32_MAX / 2) {
        return false;
    }
    z_stream z{};
    if (deflateInit2(&z, parameters.level, Z_DEFLATED, -parameters.windowBits, parameters.memLevel,
                     parameters.strategy) != Z_OK) {
        return false;
    }
    stream.resize(deflateBound(&z, static_cast<uLong>(size)));
    z.next_in = const_cast<uint8_t*>(content);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    const int result = deflate(&z, Z_FINISH);
    stream.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END;
}

} // namespace deflatestream
