#pragma once
#include "VcdiffIo.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcdiff {

// Reads COPY data from a Source on demand through a few cached blocks, so that the many
// short copies of a typical delta do not each become a read call, while long copies are
// read straight into place. Deltas of moved code alternate between a handful of places in
// the old file; several blocks, the least recently used replaced first, keep each of them
// loaded. Memory: at most kBlockCount blocks of kBlockSize (1 MiB); the whole source is
// never held.
class SegmentReader {
public:
    static constexpr size_t kBlockSize = 64 * 1024;
    static constexpr size_t kBlockCount = 16;

    explicit SegmentReader(Source* source) : source_(source) {}

    // Reads `length` bytes at `offset`; the caller has checked that they lie below `limit`,
    // the number of bytes the source is known to hold.
    bool Read(uint64_t offset, uint8_t* out, size_t length, uint64_t limit);
    // Forgets the cached blocks (the source may have grown).
    void Invalidate();

private:
    struct Block {
        std::vector<uint8_t> bytes;
        uint64_t start = 0;
        size_t length = 0; // 0: holds nothing
        uint64_t lastUse = 0;
        bool Holds(uint64_t offset) const { return offset >= start && offset - start < length; }
    };

    const Block* Find(uint64_t offset);
    const Block* Load(uint64_t offset, uint64_t limit);
    Block& Victim();

    Source* source_;
    std::vector<Block> blocks_;
    uint64_t uses_ = 0;
};

} // namespace vcdiff
