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

// The first offset in [at, stop) that may start a call, a jump or a conditional jump, or
// `stop`: Rel32At finds nothing at the bytes skipped. Eight bytes a step, as one word, testing
// each byte for E8 or E9 and for 0F followed by 8x at once: most bytes of code are none of
// them, and most 0F bytes start other two-byte opcodes. The last few bytes before `stop` are
// tested for the opcode byte alone, since the byte after it may lie beyond what may be read.
inline size_t NextOpcodeCandidate(const uint8_t* bytes, size_t at, size_t stop) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
    // The high bit of each byte of the result is set exactly where that byte of `word` is zero.
    const auto zeroBytes = [](uint64_t word) { return ~(((word & kLows) + kLows) | word | kLows); };
    // The word's byte after each of its own, the last one taken from the byte beyond it.
    constexpr size_t kWordBytes = 8;
    while (at < stop && stop - at > kWordBytes) {
        const uint64_t word = plumbing::LoadLittleEndian(bytes + at, kWordBytes);
        const uint64_t next = (word >> 8) | (uint64_t{bytes[at + kWordBytes]} << 56);
        // E8 and E9 differ in the lowest bit only.
        const uint64_t callOrJump = zeroBytes((word | kOnes) ^ (kOnes * kJumpOpcode));
        const uint64_t conditional =
            zeroBytes(word ^ (kOnes * kTwoByteOpcode)) &
            zeroBytes((next & (kOnes * kConditionalJumpMask)) ^ (kOnes * kConditionalJump));
        if (const uint64_t found = callOrJump | conditional) {
            return at + static_cast<size_t>(__builtin_ctzll(found)) / 8;
        }
        at += kWordBytes;
    }
    while (at < stop && bytes[at] != kCallOpcode && bytes[at] != kJumpOpcode &&
           bytes[at] != kTwoByteOpcode) {
        ++at;
    }
    return at;
}

} // namespace x86image
