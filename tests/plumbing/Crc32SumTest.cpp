// The CRC-32 every checksum of the patch file is: the folded sum against zlib's tables.
#include "Crc32Sum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace plumbing {
namespace {

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

TEST(Crc32Sum, GivesTheCheckValueOfTheStandard) {
    const char text[] = "123456789";
    EXPECT_EQ(UpdateCrc32(0, text, 9), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc32ByTable(0, text, 9), 0xCBF43926u);
}

// Every length around the fold's steps and the lanes' ends, at every alignment of a 16-byte
// load, continuing a non-zero sum: where a lane or the tail is mishandled, one of them differs.
TEST(Crc32Sum, FoldedSumMatchesTheTablesAtEveryLengthAndAlignment) {
    if (!Crc32Folds()) {
        GTEST_SKIP() << "this processor has no carry-less multiply: only the tables run";
    }
    const std::vector<uint8_t> bytes = RandomBytes(1024 + 16, 1);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length = 0; length <= 1024; ++length) {
            const uint32_t start = static_cast<uint32_t>(length * 0x9E3779B9u);
            ASSERT_EQ(UpdateCrc32(start, bytes.data() + offset, length),
                      UpdateCrc32ByTable(start, bytes.data() + offset, length))
                << "offset " << offset << ", length " << length;
        }
    }
}

// Bytes that make the folds' products carry far: all ones, all zeros, one bit set.
TEST(Crc32Sum, FoldedSumMatchesTheTablesOnExtremeBytes) {
    std::vector<std::vector<uint8_t>> inputs = {std::vector<uint8_t>(4096, 0xFF),
                                                std::vector<uint8_t>(4096, 0x00)};
    for (size_t bit = 0; bit < 8 * 64; bit += 37) {
        std::vector<uint8_t> single(4096, 0);
        single[bit / 8] = static_cast<uint8_t>(1u << (bit % 8));
        inputs.push_back(single);
    }
    for (const std::vector<uint8_t>& input : inputs) {
        for (const uint32_t start : {0u, 0xFFFFFFFFu}) {
            EXPECT_EQ(UpdateCrc32(start, input.data(), input.size()),
                      UpdateCrc32ByTable(start, input.data(), input.size()));
        }
    }
}

// A sum taken in pieces of any size is the sum of the whole, the pieces crossing the fold's
// minimum both ways.
TEST(Crc32Sum, PiecesContinueTheSum) {
    const std::vector<uint8_t> bytes = RandomBytes(100000, 2);
    const uint32_t whole = UpdateCrc32ByTable(0, bytes.data(), bytes.size());
    for (const size_t piece : {1u, 15u, 63u, 64u, 65u, 1000u, 65536u}) {
        uint32_t crc = 0;
        for (size_t done = 0; done < bytes.size(); done += piece) {
            crc = UpdateCrc32(crc, bytes.data() + done, std::min(piece, bytes.size() - done));
        }
        EXPECT_EQ(crc, whole) << "pieces of " << piece;
    }
}

} // namespace
} // namespace plumbing
