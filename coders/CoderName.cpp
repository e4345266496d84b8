#include "StreamCoder.h"

#include "EnumText.h"

namespace coders {

const char* CoderName(Coder coder) {
    // In the order of the enumerators, from Coder::Store.
    static constexpr const char* kTexts[] = {
        "store",
        "deflate",
        "zstd",
        "xz",
    };
    return quill::TextOf<Coder::Xz>(kTexts, coder, nullptr);
}

} // namespace coders
