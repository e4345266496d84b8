// The variable-length integers both delta formats write.
#include "Varint.h"

#include <gtest/gtest.h>

#include <vector>

namespace plumbing {
namespace {

TEST(Varint, RoundTripsAcrossByteLengths) {
    for (const uint64_t value :
         std::vector<uint64_t>{0, 1, 127, 128, 16383, 16384, 0xFFFFFFFF, 0x100000000,
                               0x7FFFFFFFFFFFFFFF, UINT64_MAX}) {
        std::vector<uint8_t> bytes;
        AppendVarint(bytes, value);
        EXPECT_EQ(bytes.size(), VarintLength(value));
        size_t pos = 0;
        uint64_t read = 0;
        ASSERT_EQ(ReadVarint(bytes.data(), bytes.size(), pos, read), VarintStatus::Ok);
        EXPECT_EQ(read, value);
        EXPECT_EQ(pos, bytes.size());
        // Every shorter prefix is incomplete, not wrong.
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            size_t at = 0;
            EXPECT_EQ(ReadVarint(bytes.data(), cut, at, read), VarintStatus::NeedMore);
            EXPECT_EQ(at, 0u);
        }
    }
}

TEST(Varint, WritesTheFormatsExampleBytes) {
    // RFC 3284 section 2: 123456789 is 10111010 11101111 10011010 00010101.
    std::vector<uint8_t> bytes;
    AppendVarint(bytes, 123456789);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0xBA, 0xEF, 0x9A, 0x15}));
}

TEST(Varint, RejectsValuesBeyond64BitsAndOverlongEncodings) {
    const std::vector<std::vector<uint8_t>> invalid = {
        {0x82, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00},       // 2^64
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},       // 2^70 - 1
        {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}, // eleven bytes
    };
    for (const auto& bytes : invalid) {
        size_t pos = 0;
        uint64_t value = 0;
        EXPECT_EQ(ReadVarint(bytes.data(), bytes.size(), pos, value), VarintStatus::Invalid);
        EXPECT_EQ(pos, 0u);
    }
}

} // namespace
} // namespace plumbing
