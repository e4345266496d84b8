#include "SegmentReader.h"

#include <algorithm>
#include <cstring>

namespace vcdiff {

bool SegmentReader::Read(uint64_t offset, uint8_t* out, size_t length, uint64_t limit) {
    if (length >= kBlockSize) {
        return source_->Read(offset, out, length);
    }
    while (length > 0) {
        const bool cached = offset >= blockStart_ && offset - blockStart_ < blockLength_;
        if (!cached && !LoadBlock(offset, limit)) {
            return false;
        }
        const size_t skip = static_cast<size_t>(offset - blockStart_);
        const size_t n = std::min(length, blockLength_ - skip);
        std::memcpy(out, block_.data() + skip, n);
        out += n;
        offset += n;
        length -= n;
    }
    return true;
}

bool SegmentReader::LoadBlock(uint64_t offset, uint64_t limit) {
    block_.resize(kBlockSize);
    blockLength_ = 0;
    blockStart_ = offset - offset % kBlockSize;
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kBlockSize, limit - blockStart_));
    if (!source_->Read(blockStart_, block_.data(), length)) {
        return false;
    }
    blockLength_ = length;
    return true;
}

} // namespace vcdiff
