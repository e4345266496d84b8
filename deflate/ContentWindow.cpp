#include "ContentWindow.h"

#include "BuildSizes.h"
#include "DeflateFormat.h"
#include "Refusal.h"

#include <cstring>

namespace deflatestream {

using plumbing::Refuse;

namespace {

// The window and three times as much again: a slide moves 32 KiB once per 96 KiB written.
// The fuzz build slides after every KiB.
constexpr size_t kBufferBytes =
    quill::SizeFor<size_t>(4 * format::kMaxDistance, format::kMaxDistance + 1024);

} // namespace

ContentWindow::ContentWindow(ByteOutput& output, uint64_t limit)
    : output_(output), limit_(limit), buffer_(kBufferBytes) {}

bool ContentWindow::Grow(size_t size, std::string& why) {
    if (size > limit_ - total_) {
        return Refuse(why, "content beyond the limit");
    }
    total_ += size;
    return true;
}

bool ContentWindow::MakeRoom(size_t size, std::string& why) {
    if (size <= buffer_.size() - end_) {
        return true;
    }
    if (!output_.Write(buffer_.data() + flushed_, end_ - flushed_)) {
        return Refuse(why, "the content's output stopped");
    }
    const size_t kept = end_ < format::kMaxDistance ? end_ : format::kMaxDistance;
    std::memmove(buffer_.data(), buffer_.data() + end_ - kept, kept);
    end_ = kept;
    flushed_ = kept;
    return true;
}

bool ContentWindow::Literal(uint8_t byte, std::string& why) {
    if (!Grow(1, why) || !MakeRoom(1, why)) {
        return false;
    }
    buffer_[end_++] = byte;
    return true;
}

bool ContentWindow::Copy(unsigned distance, unsigned length, std::string& why) {
    if (distance > total_) {
        return Refuse(why, "distance beyond the content so far");
    }
    if (!Grow(length, why) || !MakeRoom(length, why)) {
        return false;
    }
    uint8_t* to = buffer_.data() + end_;
    const uint8_t* from = to - distance;
    // Byte by byte: a copy may overlap what it writes (a run of one byte repeated).
    for (unsigned i = 0; i < length; ++i) {
        to[i] = from[i];
    }
    end_ += length;
    return true;
}

bool ContentWindow::Bytes(const uint8_t* data, size_t size, std::string& why) {
    if (!Grow(size, why)) {
        return false;
    }
    while (size != 0) {
        const size_t room = buffer_.size() - end_;
        const size_t piece = size < room ? size : room;
        std::memcpy(buffer_.data() + end_, data, piece);
        end_ += piece;
        data += piece;
        size -= piece;
        if (size != 0 && !MakeRoom(size, why)) {
            return false;
        }
    }
    return true;
}

bool ContentWindow::Finish(std::string& why) {
    if (!output_.Write(buffer_.data() + flushed_, end_ - flushed_)) {
        return Refuse(why, "the content's output stopped");
    }
    flushed_ = end_;
    return true;
}

} // namespace deflatestream
