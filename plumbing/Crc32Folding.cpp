#include "Crc32Folding.h"

#ifdef PLUMBING_CRC32_FOLDING
#include <immintrin.h>

#define PLUMBING_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))

// 32-bit Windows keeps its stacks 4-byte aligned (a thread that CreateThread starts, for one),
// while the 16-byte lanes below are spilled with aligned moves: the entry realigns its frame.
#if defined(__i386__)
#define PLUMBING_FOLDING_ENTRY __attribute__((target("pclmul,sse4.1"), force_align_arg_pointer))
#else
#define PLUMBING_FOLDING_ENTRY PLUMBING_FOLDING_TARGET
#endif

namespace plumbing {
namespace {

// The multipliers, bit-reflected as the CRC runs: x^(512+32) and x^(512-32) mod P carry a lane
// 64 bytes ahead, x^(128+32) and x^(128-32) mod P 16 bytes ahead, x^64 mod P reduces 96 bits
// to 64; the polynomial and its Barrett quotient x^64 / P end the reduction.
constexpr long long kAhead64Low = 0x0154442bd4;
constexpr long long kAhead64High = 0x01c6e41596;
constexpr long long kAhead16Low = 0x01751997d0;
constexpr long long kAhead16High = 0x00ccaa009e;
constexpr long long kReduce96 = 0x0163cd6124;
constexpr long long kPolynomial = 0x01db710641;
constexpr long long kQuotient = 0x01f7011641;

constexpr size_t kLanes = 4;
constexpr size_t kLaneBytes = 16;

PLUMBING_FOLDING_TARGET __m128i Load(const uint8_t* data) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// The lane carried ahead by `multipliers`, added to the lane that was there.
PLUMBING_FOLDING_TARGET __m128i FoldLane(__m128i lane, __m128i multipliers, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, multipliers, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, multipliers, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// 128 bits to the 32 of the CRC: to 96, to 64, then Barrett's reduction.
PLUMBING_FOLDING_TARGET uint32_t Reduce(__m128i x, __m128i ahead16) {
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(x, ahead16, 0x10));
    const __m128i reduce96 = _mm_set_epi64x(0, kReduce96);
    x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), reduce96, 0x00),
                      _mm_srli_si128(x, 4));
    const __m128i barrett = _mm_set_epi64x(kQuotient, kPolynomial);
    __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10), low32);
    t = _mm_clmulepi64_si128(t, barrett, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x, t), 1));
}

} // namespace

bool CarrylessMultiplyAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

PLUMBING_FOLDING_ENTRY uint32_t FoldCrc32(uint32_t state, const uint8_t* data, size_t length) {
    __m128i lanes[kLanes];
    for (size_t i = 0; i < kLanes; ++i) {
        lanes[i] = Load(data + i * kLaneBytes);
    }
    lanes[0] = _mm_xor_si128(lanes[0], _mm_cvtsi32_si128(static_cast<int>(state)));
    data += kLanes * kLaneBytes;
    length -= kLanes * kLaneBytes;
    const __m128i ahead64 = _mm_set_epi64x(kAhead64High, kAhead64Low);
    for (; length >= kLanes * kLaneBytes; length -= kLanes * kLaneBytes) {
        for (size_t i = 0; i < kLanes; ++i) {
            lanes[i] = FoldLane(lanes[i], ahead64, Load(data + i * kLaneBytes));
        }
        data += kLanes * kLaneBytes;
    }
    const __m128i ahead16 = _mm_set_epi64x(kAhead16High, kAhead16Low);
    __m128i x = lanes[0];
    for (size_t i = 1; i < kLanes; ++i) {
        x = FoldLane(x, ahead16, lanes[i]);
    }
    for (; length >= kLaneBytes; length -= kLaneBytes, data += kLaneBytes) {
        x = FoldLane(x, ahead16, Load(data));
    }
    return Reduce(x, ahead16);
}

} // namespace plumbing

#endif
