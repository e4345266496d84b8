#include "BitReader.h"

#include <algorithm>
#include <cstring>

namespace deflatestream {

BitReader::BitReader(ByteInput& input) : input_(input), buffer_(PieceBuffer()) {}

bool BitReader::Refill() {
    if (ended_) {
        return false;
    }
    position_ = 0;
    end_ = input_.Read(buffer_.data(), buffer_.size());
    ended_ = end_ == 0;
    return !ended_;
}

bool BitReader::Need(unsigned n) {
    while (count_ < n) {
        if (position_ == end_ && !Refill()) {
            return false;
        }
        while (count_ <= 56 && position_ != end_) {
            bits_ |= static_cast<uint64_t>(buffer_[position_++]) << count_;
            count_ += 8;
        }
    }
    return true;
}

void BitReader::Drop(unsigned n) {
    bits_ >>= n;
    count_ -= n;
    consumed_ += n;
}

bool BitReader::Take(unsigned n, uint32_t& value) {
    if (!Need(n)) {
        return false;
    }
    value = Peek(n);
    Drop(n);
    return true;
}

bool BitReader::TakeBytes(uint8_t* out, size_t count) {
    // At a byte boundary the buffered bits are whole bytes.
    while (count != 0 && count_ != 0) {
        *out++ = static_cast<uint8_t>(bits_);
        Drop(8);
        --count;
    }
    while (count != 0) {
        if (position_ == end_ && !Refill()) {
            return false;
        }
        const size_t piece = std::min(count, end_ - position_);
        std::memcpy(out, buffer_.data() + position_, piece);
        position_ += piece;
        out += piece;
        count -= piece;
        consumed_ += 8 * static_cast<uint64_t>(piece);
    }
    return true;
}

} // namespace deflatestream
