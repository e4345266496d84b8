#include "ImageBytes.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace x86image {

ImageBytes::ImageBytes(plumbing::Source& source, ParsePacer& pacer)
    : source_(source), pacer_(pacer), size_(source.Size()) {}

const uint8_t* ImageBytes::Field(uint64_t offset, size_t length) {
    if (!Holds(offset, length) || state() != State::Reading || !pacer_.Advance(length)) {
        return nullptr;
    }
    // Most fields follow the last one in the window it came from.
    if (recent_ != nullptr && offset >= recent_->start &&
        offset - recent_->start + length <= recent_->length) {
        return recent_->bytes.data() + (offset - recent_->start);
    }
    const Window* first = WindowAt(offset);
    if (first == nullptr) {
        return nullptr;
    }
    const size_t skip = static_cast<size_t>(offset - first->start);
    if (length <= first->length - skip) {
        return first->bytes.data() + skip;
    }
    // Copied before the second window is found: finding it may reload the first's.
    const size_t head = first->length - skip;
    std::memcpy(straddling_, first->bytes.data() + skip, head);
    const Window* second = WindowAt(first->start + first->length);
    if (second == nullptr) {
        return nullptr;
    }
    std::memcpy(straddling_ + head, second->bytes.data(), length - head);
    return straddling_;
}

const ImageBytes::Window* ImageBytes::WindowAt(uint64_t offset) {
    if (windows_.empty()) {
        windows_.resize(kWindows);
    }
    const uint64_t start = offset - offset % kWindowBytes;
    Window* victim = &windows_.front();
    for (Window& window : windows_) {
        if (window.length != 0 && window.start == start) {
            window.lastUse = ++uses_;
            recent_ = &window;
            return &window;
        }
        // An empty window first, else the least recently used.
        if (victim->length != 0 && (window.length == 0 || window.lastUse < victim->lastUse)) {
            victim = &window;
        }
    }
    return Load(*victim, start) ? victim : nullptr;
}

bool ImageBytes::Load(Window& window, uint64_t start) {
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kWindowBytes, size_ - start));
    if (loaded_ + length > kLoadsPerByte * size_ + kWindows * kWindowBytes) {
        state_ = State::ReadTooOften;
        return false;
    }
    if (!pacer_.Advance(length)) {
        return false;
    }
    window.length = 0;
    recent_ = nullptr;
    window.bytes.resize(kWindowBytes);
    loaded_ += length;
    if (!source_.Read(start, window.bytes.data(), length)) {
        state_ = State::ReadFailed;
        return false;
    }
    window.start = start;
    window.length = length;
    window.lastUse = ++uses_;
    recent_ = &window;
    return true;
}

template <typename Value> bool ImageBytes::ReadField(uint64_t offset, Value& value) {
    const uint8_t* bytes = Field(offset, sizeof(Value));
    if (bytes == nullptr) {
        return false;
    }
    value = static_cast<Value>(plumbing::LoadLittleEndian(bytes, sizeof(Value)));
    return true;
}

bool ImageBytes::U8(uint64_t offset, uint8_t& value) {
    return ReadField(offset, value);
}

bool ImageBytes::U16(uint64_t offset, uint16_t& value) {
    return ReadField(offset, value);
}

bool ImageBytes::U32(uint64_t offset, uint32_t& value) {
    return ReadField(offset, value);
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
