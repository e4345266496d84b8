// The small shared pieces of the codec: checksum, code table.
#include "Adler32.h"
#include "CodeTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vcdiff {
namespace {

TEST(Adler32, MatchesPublishedValues) {
    const char* text = "Wikipedia";
    EXPECT_EQ(Adler32(kAdler32Initial, reinterpret_cast<const uint8_t*>(text), std::strlen(text)),
              0x11E60398u);
    EXPECT_EQ(Adler32(kAdler32Initial, nullptr, 0), 1u);
}

TEST(Adler32, PiecewiseEqualsWholeOverLongInput) {
    std::vector<uint8_t> bytes(100000, 0xFF); // the worst case for the deferred reduction
    const uint32_t whole = Adler32(kAdler32Initial, bytes.data(), bytes.size());
    uint32_t pieces = kAdler32Initial;
    for (size_t at = 0; at < bytes.size(); at += 777) {
        pieces = Adler32(pieces, bytes.data() + at, std::min<size_t>(777, bytes.size() - at));
    }
    EXPECT_EQ(pieces, whole);
}

struct Opcode {
    int index;
    CodeTableEntry entry;
};

const HalfInstruction kNoop{InstructionType::Noop, 0, 0};

// Entries at the edges of each group of the table in RFC 3284 section 5.6.
TEST(CodeTable, DefaultTableHasTheStandardEntries) {
    const Opcode expected[] = {
        {0, {{InstructionType::Run, 0, 0}, kNoop}},
        {1, {{InstructionType::Add, 0, 0}, kNoop}},
        {18, {{InstructionType::Add, 17, 0}, kNoop}},
        {19, {{InstructionType::Copy, 0, 0}, kNoop}},
        {20, {{InstructionType::Copy, 4, 0}, kNoop}},
        {34, {{InstructionType::Copy, 18, 0}, kNoop}},
        {162, {{InstructionType::Copy, 18, 8}, kNoop}},
        {163, {{InstructionType::Add, 1, 0}, {InstructionType::Copy, 4, 0}}},
        {234, {{InstructionType::Add, 4, 0}, {InstructionType::Copy, 6, 5}}},
        {235, {{InstructionType::Add, 1, 0}, {InstructionType::Copy, 4, 6}}},
        {246, {{InstructionType::Add, 4, 0}, {InstructionType::Copy, 4, 8}}},
        {247, {{InstructionType::Copy, 4, 0}, {InstructionType::Add, 1, 0}}},
        {255, {{InstructionType::Copy, 4, 8}, {InstructionType::Add, 1, 0}}},
    };
    const auto same = [](const HalfInstruction& a, const HalfInstruction& b) {
        return a.type == b.type && a.size == b.size && a.mode == b.mode;
    };
    for (const Opcode& op : expected) {
        const CodeTableEntry& entry = DefaultCodeTable()[op.index];
        EXPECT_TRUE(same(entry.first, op.entry.first)) << op.index;
        EXPECT_TRUE(same(entry.second, op.entry.second)) << op.index;
    }
}

} // namespace
} // namespace vcdiff
