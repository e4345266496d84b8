#include "BitWriter.h"

namespace deflatestream {

BitWriter::BitWriter(ByteOutput& output) : output_(output), buffer_(PieceBuffer()) {}

bool BitWriter::Drain() {
    const bool written = output_.Write(buffer_.data(), end_);
    end_ = 0;
    return written;
}

bool BitWriter::Put(uint32_t bits, unsigned n) {
    bits_ |= static_cast<uint64_t>(bits) << count_;
    count_ += n;
    written_ += n;
    while (count_ >= 8) {
        if (end_ == buffer_.size() && !Drain()) {
            return false;
        }
        buffer_[end_++] = static_cast<uint8_t>(bits_);
        bits_ >>= 8;
        count_ -= 8;
    }
    return true;
}

bool BitWriter::PutBytes(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (!Put(data[i], 8)) {
            return false;
        }
    }
    return true;
}

bool BitWriter::Flush() {
    return Drain();
}

} // namespace deflatestream
