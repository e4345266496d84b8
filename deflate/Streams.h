#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace deflatestream {

// A buffer for one piece of a stream's bytes, for the readers and writers that take them a
// piece at a time.
std::vector<uint8_t> PieceBuffer();

// Where compressed or content bytes come from, in order. Read gives up to `max` bytes and 0
// only at the end, so that a stream of many gigabytes is read in pieces.
class ByteInput {
public:
    virtual ~ByteInput() = default;
    virtual size_t Read(uint8_t* out, size_t max) = 0;
};

// Where the parser's content and the writer's compressed bytes go, in pieces. False stops
// the work (a full disk, a caller's limit).
class ByteOutput {
public:
    virtual ~ByteOutput() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

class MemoryInput final : public ByteInput {
public:
    MemoryInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Read(uint8_t* out, size_t max) override;
    size_t Position() const { return position_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

class MemoryOutput final : public ByteOutput {
public:
    explicit MemoryOutput(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Write(const uint8_t* data, size_t size) override;

private:
    std::vector<uint8_t>& bytes_;
};

// Takes everything and keeps nothing: for a parse whose content is not wanted.
class DiscardOutput final : public ByteOutput {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
};

} // namespace deflatestream
