#pragma once
#include "Source.h"

#include <cstring>

namespace plumbing {

// Bytes already in memory, read as a source; the caller keeps them alive.
class MemorySource : public Source {
public:
    MemorySource(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > size_ || length > size_ - offset) {
            return false;
        }
        if (length > 0) {
            std::memcpy(buffer, bytes_ + offset, length);
        }
        return true;
    }

private:
    const uint8_t* bytes_;
    size_t size_;
};

} // namespace plumbing
