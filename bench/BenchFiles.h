#pragma once
#include "Sink.h"
#include "Source.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// A file read at any offset (pread), for the codecs' Source.
class FileSource : public plumbing::Source {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool ok() const { return fd_ >= 0; }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* buffer, size_t length) override;

private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

// Bytes in memory as a Source.
class MemorySource : public plumbing::Source {
public:
    explicit MemorySource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override;

private:
    const std::vector<uint8_t>& bytes_;
};

// Collects what is written.
class MemorySink : public plumbing::Sink {
public:
    bool Write(const void* data, size_t length) override;
    std::vector<uint8_t> bytes;
};

// Drops what is written: decoding is timed without the cost of keeping the result.
class DiscardSink : public plumbing::Sink {
public:
    bool Write(const void*, size_t length) override {
        written += length;
        return true;
    }
    uint64_t written = 0;
};

// Compares what is written with the expected file, read as it goes.
class CompareSink : public plumbing::Sink {
public:
    explicit CompareSink(plumbing::Source& expected) : expected_(expected) {}
    bool Write(const void* data, size_t length) override;
    bool matched() const { return same_ && written_ == expected_.Size(); }

private:
    plumbing::Source& expected_;
    std::vector<uint8_t> buffer_;
    uint64_t written_ = 0;
    bool same_ = true;
};

} // namespace bench
