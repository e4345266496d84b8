#include "Encoders.h"
#include "ZstdWindow.h"

#include <zstd.h>

#include <algorithm>
#include <memory>

namespace coders {

namespace {

// Level 19: the ultra levels up to 22 were measured to save some ten bytes per megabyte on
// program files at twice the time.
constexpr int kZstdLevel = 19;

struct FreeContext {
    void operator()(ZSTD_CCtx* context) const { ZSTD_freeCCtx(context); }
};

// The smallest window that holds the whole stream, within what decoders accept.
int WindowLogFor(size_t size) {
    const int smallest = ZSTD_cParam_getBounds(ZSTD_c_windowLog).lowerBound;
    int log = smallest;
    while (log < kZstdMaxWindowLog && (size_t{1} << log) < size) {
        ++log;
    }
    return log;
}

} // namespace

// One frame that states its size and carries no checksum of its own.
bool EncodeZstd(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    const std::unique_ptr<ZSTD_CCtx, FreeContext> context(ZSTD_createCCtx());
    if (!context) {
        return false;
    }
    ZSTD_CCtx* cctx = context.get();
    if (ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, kZstdLevel)) ||
        ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_windowLog, WindowLogFor(size))) ||
        ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 0)) ||
        ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_contentSizeFlag, 1))) {
        return false;
    }
    out.resize(ZSTD_compressBound(size));
    const size_t written = ZSTD_compress2(cctx, out.data(), out.size(), data, size);
    if (ZSTD_isError(written)) {
        return false;
    }
    out.resize(written);
    return true;
}

} // namespace coders
