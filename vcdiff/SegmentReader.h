#pragma once
#include "VcdiffIo.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcdiff {

// Reads COPY data from a Source on demand through one small cached block, so that the many
// short copies of a typical delta do not each become a read call, while long copies are
// read straight into place. The whole source is never held in memory.
class SegmentReader {
public:
    static constexpr size_t kBlockSize = 64 * 1024;

    explicit SegmentReader(Source* source) : source_(source) {}

    // Reads `length` bytes at `offset`; the caller has checked that they lie below `limit`,
    // the number of bytes the source is known to hold.
    bool Read(uint64_t offset, uint8_t* out, size_t length, uint64_t limit);
    // Forgets the cached block (the source may have grown).
    void Invalidate() { blockLength_ = 0; }

private:
    bool LoadBlock(uint64_t offset, uint64_t limit);

    Source* source_;
    std::vector<uint8_t> block_;
    uint64_t blockStart_ = 0;
    size_t blockLength_ = 0;
};

} // namespace vcdiff
