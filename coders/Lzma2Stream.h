#pragma once
#include <cstddef>

namespace coders {

// An Xz stream starts with the LZMA2 filter's properties, one byte that states the
// dictionary size; the raw LZMA2 chunks follow. Patch blocks carry their own checksum, so
// the .xz container (some 50 bytes with its index and check) would only add size.
constexpr size_t kLzma2PropertiesSize = 1;

} // namespace coders
