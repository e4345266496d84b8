#pragma once
#include "BlockDecoder.h"
#include "BlockEncoder.h"
#include "TestIo.h"

#include <cstddef>
#include <string>
#include <vector>

namespace blockdiff::test {

using vcdiff::test::Bytes;
using vcdiff::test::MemorySink;
using vcdiff::test::MemorySource;
using vcdiff::test::Random;
using vcdiff::test::ToBytes;

// How a decode is disturbed from outside the payload.
struct DecodeSetup {
    size_t refuseWritesAfter = SIZE_MAX;
    size_t stopAfterTicks = SIZE_MAX;
    bool oldReadFails = false;
    bool payloadReadFails = false;
};

struct Decoded : vcdiff::test::DecodedBytes<Error> {
    size_t ticks = 0;
};

// Decodes `payload` against `old` (null: no old file).
Decoded DecodePayload(const Bytes& payload, const Bytes* old, const DecodeSetup& setup = {});

// Encodes and fails the calling test when the encoder reports an error.
Bytes EncodePayload(const Bytes* old, const Bytes& newBytes, const EncoderOptions& options = {},
                    EncodeReport* report = nullptr);

// A source whose reads all fail.
class FailingSource : public plumbing::Source {
public:
    explicit FailingSource(uint64_t size) : size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t, void*, size_t) override { return false; }

private:
    uint64_t size_;
};

} // namespace blockdiff::test
