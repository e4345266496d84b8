#pragma once
#include <cstddef>
#include <cstdint>

// The CRC-32 folded with the carry-less multiply of x86 (PCLMULQDQ): the bytes are taken as
// one polynomial, four 128-bit lanes are multiplied ahead by x^512 mod P and added to the next
// 64 bytes, and the last lane is reduced to 32 bits (Barrett). Only where the compiler can
// target the instruction; the processor is asked at run time.
namespace plumbing {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define PLUMBING_CRC32_FOLDING 1
#endif

// The fewest bytes a fold takes, and the multiple its length must be.
constexpr size_t kCrc32FoldMinimum = 64;
constexpr size_t kCrc32FoldStep = 16;

// True when the processor has the carry-less multiply and SSE4.1.
bool CarrylessMultiplyAvailable();

// Folds `length` bytes (at least kCrc32FoldMinimum, a multiple of kCrc32FoldStep) into the
// register `state` (the CRC-32 inverted, as the tables run it); returns the new state. Only
// when CarrylessMultiplyAvailable().
uint32_t FoldCrc32(uint32_t state, const uint8_t* data, size_t length);

} // namespace plumbing
