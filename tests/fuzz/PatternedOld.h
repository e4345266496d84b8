#pragma once
// A 4 KiB old file of patterned bytes for the decoder targets: byte i is
// (i * multiplier + (i >> shift)) mod 256, so copies from it are checkable without storing it.
// Each target's seed corpus was made against its own pattern, which is why the two numbers are
// parameters. A read the decoder should have refused traps.
#include "Source.h"

#include <cstddef>
#include <cstdint>

namespace fuzz {

class PatternedOld : public plumbing::Source {
public:
    static constexpr uint64_t kSize = 4096;

    PatternedOld(unsigned multiplier, unsigned shift) : multiplier_(multiplier), shift_(shift) {}

    uint64_t Size() const override { return kSize; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > kSize || length > kSize - offset) {
            __builtin_trap(); // the decoder checked the read against Size()
        }
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < length; ++i) {
            const uint64_t at = offset + i;
            out[i] = static_cast<uint8_t>(at * multiplier_ + (at >> shift_));
        }
        return true;
    }

private:
    unsigned multiplier_;
    unsigned shift_;
};

} // namespace fuzz
