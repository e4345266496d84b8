#include "StreamCoder.h"

#include "EnumText.h"

namespace coders {

// Indexed by Coder.
constexpr const char* kCoderNames[] = {"store", "deflate", "zstd", "xz"};

const char* CoderName(Coder coder) {
    return quill::TextOf<Coder::Xz>(kCoderNames, coder, nullptr);
}

} // namespace coders
