#include "DeflateSink.h"

#include <zlib.h>

namespace patchfile {

struct DeflateSink::Stream {
    z_stream z{};
    bool ready = false;
};

DeflateSink::DeflateSink(OutputFile& out, int level)
    : stream_(std::make_unique<Stream>()), out_(out), buffer_(64 * 1024) {
    stream_->ready = deflateInit(&stream_->z, level) == Z_OK;
    failed_ = !stream_->ready;
}

DeflateSink::~DeflateSink() {
    if (stream_->ready)
        deflateEnd(&stream_->z);
}

bool DeflateSink::Run(int flush) {
    z_stream& z = stream_->z;
    int status = Z_OK;
    do {
        z.next_out = buffer_.data();
        z.avail_out = static_cast<uInt>(buffer_.size());
        status = deflate(&z, flush);
        if (status == Z_STREAM_ERROR)
            return false;
        size_t produced = buffer_.size() - z.avail_out;
        if (produced > 0 && !out_.Write(buffer_.data(), produced, error_))
            return false;
        crc_.Update(buffer_.data(), produced);
        compressedSize_ += produced;
        if (overLimit())
            return false;
    } while (z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    return true;
}

bool DeflateSink::Write(const void* data, size_t length) {
    const auto* bytes = static_cast<const Bytef*>(data);
    while (!failed_ && length > 0) {
        // zlib counts input in unsigned int; a 64-bit size_t may be larger.
        uInt step = length > (1u << 30) ? (1u << 30) : static_cast<uInt>(length);
        stream_->z.next_in = const_cast<Bytef*>(bytes);
        stream_->z.avail_in = step;
        failed_ = !Run(Z_NO_FLUSH);
        bytes += step;
        length -= step;
    }
    return !failed_;
}

bool DeflateSink::Finish() {
    if (!failed_)
        failed_ = !Run(Z_FINISH);
    return !failed_;
}

} // namespace patchfile
