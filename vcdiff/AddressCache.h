#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace vcdiff {

// The near and same address caches of RFC 3284 with the default sizes (4 near, 3 same),
// which give the nine address modes of the default code table. Encoder and decoder update
// the cache with every COPY address, in the same order.
class AddressCache {
public:
    static constexpr uint8_t kNearSize = 4;
    static constexpr uint8_t kSameSize = 3;
    static constexpr uint8_t kSelfMode = 0;
    static constexpr uint8_t kHereMode = 1;
    static constexpr uint8_t kFirstNearMode = 2;
    static constexpr uint8_t kFirstSameMode = kFirstNearMode + kNearSize;
    static constexpr uint8_t kModes = kFirstSameMode + kSameSize;
    static constexpr size_t kSameSlots = kSameSize * 256;

    AddressCache() { Reset(); }
    // Every window starts with an empty cache.
    void Reset();
    // Inline: it runs once per COPY, the decoder's most frequent instruction.
    void Update(uint64_t address) {
        near_[nextNear_] = address;
        nextNear_ = (nextNear_ + 1) % kNearSize;
        same_[address % kSameSlots] = address;
    }

    uint64_t Near(size_t index) const { return near_[index]; }
    uint64_t Same(size_t slot) const { return same_[slot]; }

private:
    std::array<uint64_t, kNearSize> near_;
    std::array<uint64_t, kSameSlots> same_;
    size_t nextNear_ = 0;
};

} // namespace vcdiff
