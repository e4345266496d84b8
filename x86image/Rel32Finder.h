#pragma once
#include <cstddef>
#include <cstdint>

#include "LittleEndian.h"

// The 32-bit displacements of x86 near calls and jumps: the references a rebuild changes most
// often, since every call across a moved stretch of code changes with it.
namespace x86image {

constexpr size_t kRel32Bytes = 4;
constexpr uint8_t kCallOpcode = 0xE8;
constexpr uint8_t kJumpOpcode = 0xE9;
constexpr uint8_t kTwoByteOpcode = 0x0F;
constexpr uint8_t kConditionalJumpMask = 0xF0;
constexpr uint8_t kConditionalJump = 0x80; // 0F 80 to 0F 8F

// Where the displacement of the call (E8), jump (E9) or conditional jump (0F 8x) whose opcode
// is at `at` starts; 0 when there is none there. Bytes from `limit` on are not looked at.
// Inline: the scan asks at every byte of a cover's code.
inline size_t Rel32At(const uint8_t* bytes, size_t at, size_t limit) {
    if (bytes[at] == kCallOpcode || bytes[at] == kJumpOpcode) {
        return at + 1;
    }
    if (bytes[at] == kTwoByteOpcode && at + 1 < limit &&
        (bytes[at + 1] & kConditionalJumpMask) == kConditionalJump) {
        return at + 2;
    }
    return 0;
}

// The first offset in [at, stop) whose byte may start a call, a jump or a conditional jump
// (E8, E9 or 0F), or `stop`: Rel32At finds nothing at the bytes skipped. Eight bytes a step,
// as one word: most bytes of code are none of the three.
inline size_t NextOpcodeCandidate(const uint8_t* bytes, size_t at, size_t stop) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    // A byte of `word` is zero where the high bit of the result is set (the lowest such byte
    // exactly; above it a borrow may mark more, which only stops the skip early).
    const auto hasZeroByte = [](uint64_t word) { return (word - kOnes) & ~word & kHighs; };
    while (at < stop && stop - at >= 8) {
        const uint64_t word = plumbing::LoadLittleEndian(bytes + at, 8);
        // E8 and E9 differ in the lowest bit only.
        if (hasZeroByte((word | kOnes) ^ (kOnes * kJumpOpcode)) ||
            hasZeroByte(word ^ (kOnes * kTwoByteOpcode))) {
            break;
        }
        at += 8;
    }
    while (at < stop && bytes[at] != kCallOpcode && bytes[at] != kJumpOpcode &&
           bytes[at] != kTwoByteOpcode) {
        ++at;
    }
    return at;
}

} // namespace x86image
