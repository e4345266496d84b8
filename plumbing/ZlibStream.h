#pragma once
#include <zlib.h>

namespace plumbing {

// Owns a z_stream from its init to the end that matches it, so that no path out of a codec
// leaks zlib's state; `ready()` is false when the init failed (zlib could not allocate).
class ZlibStream {
public:
    ZlibStream(const ZlibStream&) = delete;
    ZlibStream& operator=(const ZlibStream&) = delete;

    bool ready() const { return ready_; }
    z_stream& stream() { return stream_; }

protected:
    using End = int (*)(z_streamp);
    explicit ZlibStream(End end) : end_(end) {}
    ~ZlibStream() {
        if (ready_)
            end_(&stream_);
    }
    void Started(int initStatus) { ready_ = initStatus == Z_OK; }

private:
    z_stream stream_{};
    End end_;
    bool ready_ = false;
};

// An inflate stream; negative window bits read raw deflate, without zlib's header.
class Inflater : public ZlibStream {
public:
    explicit Inflater(int windowBits) : ZlibStream(inflateEnd) {
        Started(inflateInit2(&stream(), windowBits));
    }
};

class Deflater : public ZlibStream {
public:
    Deflater(int level, int windowBits, int memLevel, int strategy) : ZlibStream(deflateEnd) {
        Started(deflateInit2(&stream(), level, Z_DEFLATED, windowBits, memLevel, strategy));
    }
};

} // namespace plumbing
