#pragma once
#include "FileSystem.h"

#include <cstdint>
#include <functional>

namespace patchfile {

enum class ChunkResult { Done, ReadFailed, Stopped };

// Called with each chunk in order; returning false stops the reading.
using ChunkConsumer = std::function<bool(const uint8_t* data, size_t length)>;

// Reads `length` bytes from `offset` on in chunks of 64 KiB, so that memory stays bounded
// whatever the size.
ChunkResult ReadChunks(InputFile& file, uint64_t offset, uint64_t length,
                       const ChunkConsumer& consume, IoError& io);

} // namespace patchfile
