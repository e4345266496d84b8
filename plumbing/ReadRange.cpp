#include "ReadRange.h"

#include <algorithm>

namespace plumbing {

bool ReadRange(Source& source, uint64_t offset, uint8_t* out, size_t length) {
    constexpr size_t kPiece = 8u << 20;
    for (size_t done = 0; done < length;) {
        const size_t piece = std::min(kPiece, length - done);
        if (!source.Read(offset + done, out + done, piece)) {
            return false;
        }
        done += piece;
    }
    return true;
}

} // namespace plumbing
