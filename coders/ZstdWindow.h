#pragma once
#include "StreamCoder.h"

namespace coders {

constexpr int Log2(size_t value) {
    return value <= 1 ? 0 : 1 + Log2(value / 2);
}

// zstd states windows as powers of two: the largest that a frame may use.
constexpr int kZstdMaxWindowLog = Log2(kMaxDecoderWindow);
static_assert(size_t{1} << kZstdMaxWindowLog == kMaxDecoderWindow, "a power of two");

} // namespace coders
