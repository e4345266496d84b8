#include "Encoders.h"
#include "StreamEncoder.h"

#include <new>

namespace coders {

bool Encode(Coder coder, const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    try {
        switch (coder) {
        case Coder::Store:
            out.assign(data, data + size);
            return true;
        case Coder::Deflate:
            return EncodeDeflate(data, size, out);
        case Coder::Zstd:
            return EncodeZstd(data, size, out);
        case Coder::Xz:
            return EncodeXz(data, size, out);
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

} // namespace coders
