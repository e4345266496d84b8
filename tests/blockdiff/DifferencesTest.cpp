// Sparse differences give the same bytes whether a cover is done at once or in pieces.
#include "Differences.h"

#include "BlockFormat.h"
#include "Varint.h"

#include <gtest/gtest.h>

#include <vector>

namespace blockdiff {
namespace {

struct Streams {
    std::vector<uint8_t> positions;
    std::vector<uint8_t> values;
};

// The end of the cover holding covered position `pos`.
uint64_t CoverEndOf(uint64_t pos, const std::vector<size_t>& covers) {
    uint64_t end = 0;
    for (size_t length : covers) {
        end += length;
        if (pos < end)
            break;
    }
    return end;
}

// Entries at the given covered positions, each a full word unless its cover ends sooner.
Streams Entries(const std::vector<uint64_t>& starts, const std::vector<size_t>& covers) {
    Streams streams;
    uint64_t from = 0;
    for (const uint64_t start : starts) {
        plumbing::AppendVarint(streams.positions, start - from);
        const size_t width = static_cast<size_t>(
            std::min<uint64_t>(format::kSparseWordBytes, CoverEndOf(start, covers) - start));
        for (size_t i = 0; i < width; ++i)
            streams.values.push_back(static_cast<uint8_t>(0x91 + 13 * streams.values.size()));
        from = start + width;
    }
    return streams;
}

std::vector<uint8_t> Applied(const Streams& streams, const std::vector<size_t>& covers,
                             size_t piece) {
    size_t total = 0;
    for (size_t length : covers)
        total += length;
    std::vector<uint8_t> out(total, 0xF0);
    SparseDifferences sparse(streams.positions.data(), streams.positions.size(),
                             streams.values.data(), streams.values.size());
    uint64_t covered = 0;
    for (size_t length : covers) {
        for (size_t done = 0; done < length;) {
            done = std::min(length, done + piece);
            EXPECT_TRUE(sparse.ApplyPart(out.data() + covered, covered, length, done));
        }
        covered += length;
    }
    EXPECT_TRUE(sparse.Finished());
    return out;
}

TEST(SparseDifferences, PiecesGiveTheBytesOfWholeCovers) {
    const struct {
        const char* name;
        std::vector<size_t> covers;
        std::vector<uint64_t> starts;
    } cases[] = {
        {"words inside one cover", {40}, {0, 6, 17, 30}},
        {"a word across every piece boundary", {24}, {1, 5, 9, 13, 17}},
        {"words cut at the ends of covers", {10, 7, 9}, {8, 15, 24}},
        {"back to back words", {16}, {0, 4, 8, 12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Streams streams = Entries(c.starts, c.covers);
        const std::vector<uint8_t> whole = Applied(streams, c.covers, SIZE_MAX);
        for (size_t piece : {1u, 2u, 3u, 5u}) {
            SCOPED_TRACE(piece);
            EXPECT_EQ(Applied(streams, c.covers, piece), whole);
        }
    }
}

} // namespace
} // namespace blockdiff
