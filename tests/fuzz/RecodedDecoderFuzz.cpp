// Any bytes as an old file and a recoded payload: the decoder never crashes, explains every
// refusal, writes no more than the new file's size and, when it succeeds, exactly that many.
// Input: old file length (2 bytes), new file size (2 bytes), the old file, the payload.
#include "MemorySource.h"
#include "RecodeDecoder.h"

#include <cstdint>
#include <vector>

namespace {

class CountingSink final : public plumbing::Sink {
public:
    bool Write(const void*, size_t length) override {
        written += length;
        return true;
    }
    uint64_t written = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const size_t oldSize = static_cast<size_t>(data[0] | data[1] << 8);
    const uint64_t newSize = static_cast<uint64_t>(data[2] | data[3] << 8);
    if (oldSize > size - 4)
        return 0;
    plumbing::MemorySource old(data + 4, oldSize);
    plumbing::MemorySource payload(data + 4 + oldSize, size - 4 - oldSize);
    recode::MemoryScratch expandedOld, expandedNew;
    CountingSink result;
    recode::Failure failure;
    blockdiff::Failure delta;
    const bool ok = recode::Decode(payload, old, newSize, expandedOld, expandedNew, result, nullptr,
                                   failure, delta);
    if (result.written > newSize || (ok && result.written != newSize) ||
        (!ok && failure.error == recode::Error::None))
        __builtin_trap();
    return 0;
}
