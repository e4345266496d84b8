#pragma once
#include "MemorySource.h"
#include "Sink.h"
#include "Source.h"

#include <cstdint>
#include <vector>

namespace recode {

// Where the decoder keeps an expanded file: written once in order, then read at any offset
// as the source of the next step. The patch engine's are temporary files it owns and
// removes; a test's and the builder's are in memory.
class Scratch : public plumbing::Sink {
public:
    // Ends the writing; from then on Contents() reads what was written.
    virtual bool Finish() = 0;
    virtual plumbing::Source& Contents() = 0;
};

class MemoryScratch final : public Scratch {
public:
    bool Write(const void* data, size_t length) override {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), bytes, bytes + length);
        return true;
    }
    bool Finish() override {
        source_ = plumbing::MemorySource(bytes_.data(), bytes_.size());
        return true;
    }
    plumbing::Source& Contents() override { return source_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    plumbing::MemorySource source_{nullptr, 0};
};

} // namespace recode
