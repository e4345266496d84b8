#pragma once
#include <cstddef>
#include <cstdint>

namespace vcdiff {

constexpr uint32_t kAdler32Initial = 1;

// Continues the Adler-32 `adler` over `length` more bytes.
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t length);

} // namespace vcdiff
