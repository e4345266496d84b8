#include "StreamCoder.h"

namespace coders {

const char* CoderName(Coder coder) {
    switch (coder) {
    case Coder::Store:
        return "store";
    case Coder::Deflate:
        return "deflate";
    case Coder::Zstd:
        return "zstd";
    case Coder::Xz:
        return "xz";
    }
    return nullptr;
}

} // namespace coders
