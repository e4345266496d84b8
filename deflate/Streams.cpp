#include "Streams.h"

#include <algorithm>
#include <cstring>

namespace deflatestream {

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
