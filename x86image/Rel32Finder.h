#pragma once
#include <cstddef>
#include <cstdint>

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

} // namespace x86image
