#pragma once
#include <cstddef>
#include <cstdint>

namespace plumbing {

// Bytes read on demand (an old file, a payload, an image), so that a large file never has to
// be held in memory whole. Every codec and the image reader read through this one seam.
class Source {
public:
    virtual ~Source() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly `length` bytes at `offset`; false on any failure or a short read.
    virtual bool Read(uint64_t offset, void* buffer, size_t length) = 0;
};

} // namespace plumbing
