#pragma once
#include <cstddef>
#include <cstdint>

namespace vcdiff {

// The old file (the source of COPY instructions), read on demand so that a large file never
// has to be held in memory whole.
class Source {
public:
    virtual ~Source() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly `length` bytes at `offset`; false on any failure or a short read.
    virtual bool Read(uint64_t offset, void* buffer, size_t length) = 0;
};

// Where bytes go, in order. Returning false stops the producer (an I/O failure, or the
// caller asking to stop); the producer then fails with Error::SinkRefused.
class Sink {
public:
    virtual ~Sink() = default;
    virtual bool Write(const void* data, size_t length) = 0;
};

} // namespace vcdiff
