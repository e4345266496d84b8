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

template <typename Value> bool ImageBytes::Load(uint64_t offset, Value& value) {
    const uint8_t* bytes = Field(offset, sizeof(Value));
    if (bytes == nullptr) {
        return false;
    }
    value = static_cast<Value>(plumbing::LoadLittleEndian(bytes, sizeof(Value)));
    return true;
}

bool ImageBytes::U8(uint64_t offset, uint8_t& value) {
    return Load(offset, value);
}

bool ImageBytes::U16(uint64_t offset, uint16_t& value) {
    return Load(offset, value);
}

bool ImageBytes::U32(uint64_t offset, uint32_t& value) {
    return Load(offset, value);
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
