#include "ImageBytes.h"

#include "LittleEndian.h"

#include <algorithm>

namespace x86image {

namespace {
constexpr size_t kWindowBytes = 64 * 1024;
} // namespace

ImageBytes::ImageBytes(plumbing::Source& source) : source_(source), size_(source.Size()) {}

const uint8_t* ImageBytes::Field(uint64_t offset, size_t length) {
    if (!Holds(offset, length)) {
        return nullptr;
    }
    if (offset >= windowStart_ && length <= windowLength_ &&
        offset - windowStart_ <= windowLength_ - length) {
        return window_.data() + (offset - windowStart_);
    }
    if (window_.empty()) {
        window_.resize(kWindowBytes);
    }
    const size_t loaded = static_cast<size_t>(std::min<uint64_t>(kWindowBytes, size_ - offset));
    windowLength_ = 0;
    if (!source_.Read(offset, window_.data(), loaded)) {
        return nullptr;
    }
    windowStart_ = offset;
    windowLength_ = loaded;
    return window_.data();
}

bool ImageBytes::U8(uint64_t offset, uint8_t& value) {
    const uint8_t* bytes = Field(offset, 1);
    if (bytes == nullptr) {
        return false;
    }
    value = bytes[0];
    return true;
}

bool ImageBytes::U16(uint64_t offset, uint16_t& value) {
    const uint8_t* bytes = Field(offset, 2);
    if (bytes == nullptr) {
        return false;
    }
    value = static_cast<uint16_t>(plumbing::LoadLittleEndian(bytes, 2));
    return true;
}

bool ImageBytes::U32(uint64_t offset, uint32_t& value) {
    const uint8_t* bytes = Field(offset, 4);
    if (bytes == nullptr) {
        return false;
    }
    value = static_cast<uint32_t>(plumbing::LoadLittleEndian(bytes, 4));
    return true;
}

bool ImageBytes::U64(uint64_t offset, uint64_t& value) {
    uint32_t low = 0;
    uint32_t high = 0;
    if (!U32(offset, low) || !Holds(offset, 8) || !U32(offset + 4, high)) {
        return false;
    }
    value = static_cast<uint64_t>(high) << 32 | low;
    return true;
}

} // namespace x86image
