#include "ParseBytes.h"

namespace deflatestream {

void PutVarint(std::vector<uint8_t>& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<uint8_t>(value));
}

bool ByteReader::Refill() {
    if (!input_ || failed_) {
        return false;
    }
    const size_t count = input_->Read(buffer_.data(), buffer_.size());
    if (count == 0) {
        return false;
    }
    consumed_ += size_;
    data_ = buffer_.data();
    size_ = count;
    position_ = 0;
    return true;
}

bool ByteReader::Varint(uint64_t& value) {
    value = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        uint8_t byte = 0;
        if (!Byte(byte)) {
            return false;
        }
        // The tenth byte may only carry the top bit of 64.
        if (shift == 63 && byte > 1) {
            break;
        }
        value |= static_cast<uint64_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    failed_ = true;
    return false;
}

} // namespace deflatestream
