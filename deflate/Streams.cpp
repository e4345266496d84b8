#include "Streams.h"

#include "BuildSizes.h"

#include <algorithm>
#include <cstring>

namespace deflatestream {

namespace {
// Small in the fuzz build, so that short inputs cross many piece edges.
constexpr size_t kPieceBytes = quill::SizeFor<size_t>(64 * 1024, 256);
} // namespace

std::vector<uint8_t> PieceBuffer() {
    return std::vector<uint8_t>(kPieceBytes);
}

size_t MemoryInput::Read(uint8_t* out, size_t max) {
    const size_t count = std::min(max, size_ - position_);
    if (count != 0) {
        std::memcpy(out, data_ + position_, count);
    }
    position_ += count;
    return count;
}

bool MemoryOutput::Write(const uint8_t* data, size_t size) {
    bytes_.insert(bytes_.end(), data, data + size);
    return true;
}

} // namespace deflatestream
