#include "BenchFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace bench {

FileSource::FileSource(const std::string& path) : fd_(open(path.c_str(), O_RDONLY)) {
    struct stat status;
    if (fd_ >= 0 && fstat(fd_, &status) == 0) {
        size_ = static_cast<uint64_t>(status.st_size);
    }
}

FileSource::~FileSource() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool FileSource::Read(uint64_t offset, void* buffer, size_t length) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (length > 0) {
        const ssize_t got = pread(fd_, out, length, static_cast<off_t>(offset));
        if (got <= 0) {
            return false;
        }
        out += got;
        offset += static_cast<uint64_t>(got);
        length -= static_cast<size_t>(got);
    }
    return true;
}

bool MemorySource::Read(uint64_t offset, void* buffer, size_t length) {
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
        return false;
    }
    std::memcpy(buffer, bytes_.data() + offset, length);
    return true;
}

bool MemorySink::Write(const void* data, size_t length) {
    const uint8_t* in = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), in, in + length);
    return true;
}

bool CompareSink::Write(const void* data, size_t length) {
    if (length > expected_.Size() - written_) {
        same_ = false;
        return false;
    }
    buffer_.resize(length);
    same_ = same_ && expected_.Read(written_, buffer_.data(), length) &&
            std::memcmp(buffer_.data(), data, length) == 0;
    written_ += length;
    return true;
}

} // namespace bench
