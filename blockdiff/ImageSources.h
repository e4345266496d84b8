#pragma once
#include "ImageReferences.h"
#include "VcdiffIo.h"

#include <cstring>

// The files of a patch entry as images to parse.
namespace blockdiff {

class SourceImage : public x86image::ByteSource {
public:
    explicit SourceImage(vcdiff::Source& source) : source_(source) {}
    uint64_t Size() const override { return source_.Size(); }
    bool Read(uint64_t offset, uint8_t* out, size_t length) override {
        return offset <= source_.Size() && length <= source_.Size() - offset &&
               (length == 0 || source_.Read(offset, out, length));
    }

private:
    vcdiff::Source& source_;
};

class MemoryImage : public x86image::ByteSource {
public:
    MemoryImage(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, uint8_t* out, size_t length) override {
        if (offset > size_ || length > size_ - offset) {
            return false;
        }
        std::memcpy(out, bytes_ + offset, length);
        return true;
    }

private:
    const uint8_t* bytes_;
    size_t size_;
};

} // namespace blockdiff
