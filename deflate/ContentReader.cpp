#include "ContentReader.h"

#include <cstring>

namespace deflatestream {

ContentReader::ContentReader(ByteInput& input) : input_(input), buffer_(PieceBuffer()) {}

bool ContentReader::Fill() {
    if (next_ != end_) {
        return true;
    }
    next_ = 0;
    end_ = input_.Read(buffer_.data(), buffer_.size());
    return end_ != 0;
}

bool ContentReader::Byte(uint8_t& value) {
    if (!Fill()) {
        return false;
    }
    value = buffer_[next_++];
    ++position_;
    return true;
}

bool ContentReader::Bytes(uint8_t* out, size_t count) {
    while (count != 0) {
        if (!Fill()) {
            return false;
        }
        const size_t piece = count < end_ - next_ ? count : end_ - next_;
        std::memcpy(out, buffer_.data() + next_, piece);
        next_ += piece;
        position_ += piece;
        out += piece;
        count -= piece;
    }
    return true;
}

bool ContentReader::Skip(uint64_t count) {
    while (count != 0) {
        if (!Fill()) {
            return false;
        }
        const size_t available = end_ - next_;
        const size_t piece = count < available ? static_cast<size_t>(count) : available;
        next_ += piece;
        position_ += piece;
        count -= piece;
    }
    return true;
}

bool ContentReader::AtEnd() {
    return !Fill();
}

} // namespace deflatestream
