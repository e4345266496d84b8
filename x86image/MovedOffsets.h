#pragma once
#include <cstdint>

namespace x86image {

// Where the bytes of an old image went in the new one: the rewriter asks, the delta codec that
// copied them answers.
class MovedOffsets {
public:
    // The new file offset of the byte at `oldOffset`; false when it was not carried over.
    virtual bool NewOffset(uint64_t oldOffset, uint64_t& newOffset) const = 0;

protected:
    ~MovedOffsets() = default;
};

} // namespace x86image
