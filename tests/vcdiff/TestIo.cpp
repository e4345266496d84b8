#include "TestIo.h"

#include "MemorySource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace vcdiff::test {

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

bool MemorySource::Read(uint64_t offset, void* buffer, size_t length) {
    return plumbing::MemorySource(bytes_.data(), bytes_.size()).Read(offset, buffer, length);
}

bool MemorySink::Write(const void* data, size_t length) {
    ++attempts;
    if (writes.size() >= refuseAfter) {
        return false;
    }
    writes.push_back(length);
    const uint8_t* bytesIn = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), bytesIn, bytesIn + length);
    return true;
}

bool MemorySink::Read(uint64_t offset, void* buffer, size_t length) {
    return plumbing::MemorySource(bytes.data(), bytes.size()).Read(offset, buffer, length);
}

Decoded Decode(const Bytes& delta, plumbing::Source* source, size_t chunk, DecoderLimits limits) {
    MemorySink sink;
    Decoder decoder(source, sink, limits);
    decoder.SetDecodedTargetReader(&sink);
    const size_t step = chunk == 0 ? std::max<size_t>(delta.size(), 1) : chunk;
    bool ok = true;
    for (size_t at = 0; ok && at < delta.size(); at += step) {
        ok = decoder.Feed(delta.data() + at, std::min(step, delta.size() - at));
    }
    if (ok) {
        decoder.Finish();
    }
    return {decoder.error(), decoder.message(), std::move(sink.bytes), std::move(sink.writes)};
}

Bytes Encode(const Bytes* source, const Bytes& target, const EncoderOptions& options) {
    MemorySource sourceIn(source ? *source : Bytes());
    MemorySource targetIn(target);
    MemorySink delta;
    const Error error = vcdiff::Encode(source ? &sourceIn : nullptr, targetIn, delta, options);
    EXPECT_EQ(error, Error::None) << Describe(error);
    return delta.bytes;
}

uint64_t Random::Next() {
    // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
}

Bytes Random::Fill(size_t length) {
    Bytes bytes(length);
    for (auto& byte : bytes) {
        byte = static_cast<uint8_t>(Next() >> 56);
    }
    return bytes;
}

void Random::FlipBytes(Bytes& bytes) {
    const size_t flips = 1 + Below(3);
    for (size_t i = 0; i < flips; ++i) {
        bytes[Below(bytes.size())] ^= static_cast<uint8_t>(1 + Below(255));
    }
}

} // namespace vcdiff::test
