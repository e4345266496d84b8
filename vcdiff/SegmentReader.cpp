#include "SegmentReader.h"

#include <algorithm>
#include <cstring>

namespace vcdiff {

bool SegmentReader::Read(uint64_t offset, uint8_t* out, size_t length, uint64_t limit) {
    if (length >= kBlockSize) {
        return source_->Read(offset, out, length);
    }
    while (length > 0) {
        const Block* block = Find(offset);
        if (!block && !(block = Load(offset, limit))) {
            return false;
        }
        const size_t skip = static_cast<size_t>(offset - block->start);
        const size_t n = std::min(length, block->length - skip);
        std::memcpy(out, block->bytes.data() + skip, n);
        out += n;
        offset += n;
        length -= n;
    }
    return true;
}

void SegmentReader::Invalidate() {
    for (Block& block : blocks_) {
        block.length = 0;
    }
}

const SegmentReader::Block* SegmentReader::Find(uint64_t offset) {
    for (Block& block : blocks_) {
        if (block.Holds(offset)) {
            block.lastUse = ++uses_;
            return &block;
        }
    }
    return nullptr;
}

const SegmentReader::Block* SegmentReader::Load(uint64_t offset, uint64_t limit) {
    Block& block = Victim();
    block.bytes.resize(kBlockSize);
    block.length = 0;
    block.start = offset - offset % kBlockSize;
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kBlockSize, limit - block.start));
    if (!source_->Read(block.start, block.bytes.data(), length)) {
        return nullptr;
    }
    block.length = length;
    block.lastUse = ++uses_;
    return &block;
}

// An emptied block first, then a new one while there are fewer than kBlockCount, then the
// least recently used.
SegmentReader::Block& SegmentReader::Victim() {
    for (Block& block : blocks_) {
        if (block.length == 0) {
            return block;
        }
    }
    if (blocks_.size() < kBlockCount) {
        return blocks_.emplace_back();
    }
    return *std::min_element(blocks_.begin(), blocks_.end(),
                             [](const Block& a, const Block& b) { return a.lastUse < b.lastUse; });
}

} // namespace vcdiff
