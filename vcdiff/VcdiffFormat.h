#pragma once
#include <cstddef>
#include <cstdint>

// Fixed numbers of the VCDIFF format (RFC 3284) and of the window checksum extension that
// common encoders write.
namespace vcdiff::format {

constexpr uint8_t kMagic[3] = {0xD6, 0xC3, 0xC4};
constexpr uint8_t kVersion = 0x00;

// Hdr_Indicator bits.
constexpr uint8_t kHeaderDecompress = 0x01;
constexpr uint8_t kHeaderCodeTable = 0x02;
constexpr uint8_t kHeaderAppHeader = 0x04;

// Win_Indicator bits. kWindowAdler32: a 4-byte big-endian Adler-32 of the target window
// follows the three section lengths and is counted in the delta encoding length.
constexpr uint8_t kWindowSource = 0x01;
constexpr uint8_t kWindowTarget = 0x02;
constexpr uint8_t kWindowAdler32 = 0x04;

// Delta_Indicator bits: secondary compression of one section each.
constexpr uint8_t kDeltaCompressionMask = 0x07;

constexpr size_t kChecksumBytes = 4;

} // namespace vcdiff::format
