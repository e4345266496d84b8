#pragma once
#include "Streams.h"

#include <cstdint>
#include <vector>

namespace deflatestream {

// The writer's view of the content: the literals it sends, in order, and the bytes a match
// stands for, skipped.
class ContentReader {
public:
    explicit ContentReader(ByteInput& input);
    bool Byte(uint8_t& value);
    bool Bytes(uint8_t* out, size_t count);
    bool Skip(uint64_t count);
    uint64_t Position() const { return position_; }
    // Whether the content has no byte left.
    bool AtEnd();

private:
    bool Fill();

    ByteInput& input_;
    std::vector<uint8_t> buffer_;
    size_t next_ = 0;
    size_t end_ = 0;
    uint64_t position_ = 0;
};

} // namespace deflatestream
