#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace blockdiff {

// A buffer that keeps its largest size and is not cleared when reused: each block's data
// overwrites what the last one left. Throws std::bad_alloc like new.
class ByteBuffer {
public:
    // Never null, even for no bytes.
    uint8_t* Reserve(size_t size) {
        if (size > capacity_ || !bytes_) {
            bytes_.reset();
            bytes_.reset(new uint8_t[size > 0 ? size : 1]);
            capacity_ = size;
        }
        return bytes_.get();
    }
    // Frees the bytes, for a phase that needs the room for something else.
    void Release() {
        bytes_.reset();
        capacity_ = 0;
    }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t capacity_ = 0;
};

} // namespace blockdiff
