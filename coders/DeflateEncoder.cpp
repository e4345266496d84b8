#include "Encoders.h"

#include <zlib.h>

#include <algorithm>

namespace coders {

namespace {

// zlib counts in unsigned int: larger buffers are handed over in pieces.
constexpr size_t kZlibPiece = size_t{1} << 30;

} // namespace

// Level 9 with zlib's largest window and hash memory.
bool EncodeDeflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return false;
    }
    out.resize(deflateBound(&stream, size));
    stream.next_in = const_cast<Bytef*>(data);
    stream.next_out = out.data();
    size_t inLeft = size;
    size_t outLeft = out.size();
    int status = Z_OK;
    while (status == Z_OK) {
        const size_t inPiece = std::min(inLeft, kZlibPiece);
        const size_t outPiece = std::min(outLeft, kZlibPiece);
        stream.avail_in = static_cast<uInt>(inPiece);
        stream.avail_out = static_cast<uInt>(outPiece);
        status = deflate(&stream, inPiece == inLeft ? Z_FINISH : Z_NO_FLUSH);
        inLeft -= inPiece - stream.avail_in;
        outLeft -= outPiece - stream.avail_out;
    }
    deflateEnd(&stream);
    out.resize(out.size() - outLeft);
    return status == Z_STREAM_END;
}

} // namespace coders
