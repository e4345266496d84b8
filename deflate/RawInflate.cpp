#include "RawInflate.h"

#include <zlib.h>

#include <algorithm>

namespace deflatestream {

namespace {

constexpr size_t kPieceBytes = 64 * 1024;

class Inflater {
public:
    Inflater() { ready_ = inflateInit2(&z_, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ready_) {
            inflateEnd(&z_);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Input read counts as work too: a run of empty stored blocks inflates to nothing.
    bool Run(const uint8_t* data, size_t size, uint64_t maxContent, Inflated& result,
             uint64_t& work) {
        if (!ready_) {
            return false;
        }
        const bool done = Inflate(data, size, maxContent, result, work);
        work += z_.total_in;
        return done;
    }

private:
    bool Inflate(const uint8_t* data, size_t size, uint64_t maxContent, Inflated& result,
                 uint64_t& work) {
        uint8_t piece[kPieceBytes];
        size_t fed = 0;
        result = Inflated();
        for (;;) {
            if (z_.avail_in == 0) {
                const size_t step = std::min<size_t>(size - fed, 1u << 30);
                z_.next_in = const_cast<uint8_t*>(data + fed);
                z_.avail_in = static_cast<uInt>(step);
                fed += step;
            }
            z_.next_out = piece;
            z_.avail_out = sizeof(piece);
            const int status = inflate(&z_, Z_NO_FLUSH);
            const size_t made = sizeof(piece) - z_.avail_out;
            work += made;
            result.contentBytes += made;
            result.crc32 =
                static_cast<uint32_t>(crc32(result.crc32, piece, static_cast<uInt>(made)));
            result.adler32 =
                static_cast<uint32_t>(adler32(result.adler32, piece, static_cast<uInt>(made)));
            if (result.contentBytes > maxContent) {
                return false;
            }
            if (status == Z_STREAM_END) {
                result.streamBytes = fed - z_.avail_in;
                return true;
            }
            // Z_BUF_ERROR with no input left: the stream ends early.
            if (status != Z_OK || (made == 0 && z_.avail_in == 0 && fed == size)) {
                return false;
            }
        }
    }

    z_stream z_{};
    bool ready_ = false;
};

} // namespace

bool InflateRaw(const uint8_t* data, size_t size, uint64_t maxContent, Inflated& result,
                uint64_t& work) {
    return Inflater().Run(data, size, maxContent, result, work);
}

} // namespace deflatestream
