#pragma once
#include "Streams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream {

// The content the parser inflates: kept for the 32 KiB that matches reach back, handed to
// the output in pieces, and held to the caller's limit, so that memory stays bounded and
// the work stays linear in what is written.
class ContentWindow {
public:
    ContentWindow(ByteOutput& output, uint64_t limit);

    bool Literal(uint8_t byte, std::string& why);
    bool Copy(unsigned distance, unsigned length, std::string& why);
    bool Bytes(const uint8_t* data, size_t size, std::string& why);
    // Hands the rest to the output.
    bool Finish(std::string& why);
    uint64_t Total() const { return total_; }

private:
    bool MakeRoom(size_t size, std::string& why);
    bool Grow(size_t size, std::string& why);

    ByteOutput& output_;
    uint64_t limit_;
    uint64_t total_ = 0;
    std::vector<uint8_t> buffer_;
    size_t end_ = 0;
    size_t flushed_ = 0;
};

} // namespace deflatestream
