#pragma once
#include <cstddef>

namespace plumbing {

// Where bytes go, in order. Returning false stops the producer (an I/O failure, or the
// caller asking to stop); the producer then fails with its codec's "sink refused" error.
class Sink {
public:
    virtual ~Sink() = default;
    virtual bool Write(const void* data, size_t length) = 0;
};

} // namespace plumbing
