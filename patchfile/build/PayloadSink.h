#pragma once
#include "Crc32.h"
#include "FileSystem.h"
#include "Sink.h"

namespace patchfile {

// Appends a payload to `out` as it is written, counting its bytes and their CRC-32 (an
// entry's payload size and checksum), for payloads that compress their own streams.
class PayloadSink : public plumbing::Sink {
public:
    explicit PayloadSink(OutputFile& out) : out_(out) {}

    bool Write(const void* data, size_t length) override {
        if (!out_.Write(data, length, error_))
            return false;
        crc_.Update(static_cast<const uint8_t*>(data), length);
        size_ += length;
        return true;
    }

    uint64_t size() const { return size_; }
    uint32_t crc() const { return crc_.value(); }
    const IoError& error() const { return error_; }

private:
    OutputFile& out_;
    Crc32 crc_;
    uint64_t size_ = 0;
    IoError error_;
};

} // namespace patchfile
