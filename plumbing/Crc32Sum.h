#pragma once
#include <cstddef>
#include <cstdint>

// The CRC-32 of zlib and PNG (reflected, polynomial 0xEDB88320), which every checksum of the
// patch file and the block format is. An apply sums the old file and the new one in full, so
// on processors with a carry-less multiply the sum folds 64 bytes a step instead of looking up
// a table per byte.
namespace plumbing {

// Continues `crc` (0 for the start) over `length` bytes: UpdateCrc32(UpdateCrc32(0, a), b) is the
// CRC-32 of a followed by b.
uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t length);

// The same sum by zlib's tables alone, whatever the processor: what the folded one is
// checked against.
uint32_t UpdateCrc32ByTable(uint32_t crc, const void* data, size_t length);

// True when UpdateCrc32 folds with the carry-less multiply on this processor.
bool Crc32Folds();

} // namespace plumbing
