#pragma once
#include "Sink.h"
#include "Source.h"
#include "VcdiffDecoder.h"
#include "VcdiffEncoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vcdiff::test {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& text);

// Owns its bytes, unlike plumbing::MemorySource, which reads them.
class MemorySource : public plumbing::Source {
public:
    MemorySource() = default;
    explicit MemorySource(Bytes bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override;

private:
    Bytes bytes_;
};

// Keeps what is written, records each write's length, and can be read back (for windows
// that copy from earlier output). `refuseAfter` writes succeed, the rest are refused.
class MemorySink : public plumbing::Sink, public plumbing::Source {
public:
    bool Write(const void* data, size_t length) override;
    uint64_t Size() const override { return bytes.size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override;

    Bytes bytes;
    std::vector<size_t> writes;
    size_t attempts = 0;
    size_t refuseAfter = SIZE_MAX;
};

// What a decode gave: its error (`Code` is the codec's error type) and message, the output
// and the length of each write.
template <typename Code> struct DecodedBytes {
    Code error = Code::None;
    std::string message;
    Bytes output;
    std::vector<size_t> writes;
};

using Decoded = DecodedBytes<Error>;

// Decodes `delta` fed in pieces of `chunk` bytes (0: all at once).
Decoded Decode(const Bytes& delta, plumbing::Source* source, size_t chunk = 0,
               DecoderLimits limits = {});

// Encodes and fails the calling test when the encoder reports an error.
Bytes Encode(const Bytes* source, const Bytes& target, const EncoderOptions& options = {});

// Deterministic pseudo-random bytes.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next();
    size_t Below(size_t bound) { return static_cast<size_t>(Next() % bound); }
    Bytes Fill(size_t length);
    // XORs one to three bytes at random places with a nonzero value: the damage the property
    // tests plant, always a real change.
    void FlipBytes(Bytes& bytes);

private:
    uint64_t state_;
};

} // namespace vcdiff::test
