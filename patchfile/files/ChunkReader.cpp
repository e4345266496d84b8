#include "ChunkReader.h"

#include "BuildSizes.h"

#include <vector>

namespace patchfile {

ChunkResult ReadChunks(InputFile& file, uint64_t offset, uint64_t length,
                       const ChunkConsumer& consume, IoError& io) {
    constexpr size_t kChunk = quill::SizeFor<size_t>(64 * 1024, 1024);
    std::vector<uint8_t> buffer(length < kChunk ? static_cast<size_t>(length) : kChunk);
    while (length > 0) {
        size_t chunk = length < kChunk ? static_cast<size_t>(length) : kChunk;
        if (!file.ReadAt(offset, buffer.data(), chunk, io))
            return ChunkResult::ReadFailed;
        offset += chunk;
        length -= chunk;
        if (!consume(buffer.data(), chunk))
            return ChunkResult::Stopped;
    }
    return ChunkResult::Done;
}

} // namespace patchfile
