#pragma once
#include "StreamCoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace coders::test {

using Bytes = std::vector<uint8_t>;

constexpr Coder kAllCoders[] = {Coder::Store, Coder::Deflate, Coder::Zstd, Coder::Xz};
constexpr Coder kCompressingCoders[] = {Coder::Deflate, Coder::Zstd, Coder::Xz};

// Deterministic bytes of every value.
Bytes RandomBytes(size_t size, uint32_t seed);
// Words, numbers and line breaks, as in a text or a table.
Bytes TextLike(size_t size, uint32_t seed);

// The names of the sample inputs, each a typical or awkward shape for a compressor.
std::vector<std::string> SampleNames();
// The sample of that name, built on first use.
const Bytes& Sample(const std::string& name);
// 8 MiB of text-like bytes.
const Bytes& LargeSample();

// `data` encoded with `coder`; fails the calling test when the encoder does.
Bytes Encoded(Coder coder, const Bytes& data);
// Sample(name) encoded with `coder`, once per process.
const Bytes& EncodedSample(Coder coder, const std::string& name);

// Decodes `stream` into a buffer of exactly `expectedSize` bytes, `output`.
DecodeResult DecodeInto(Coder coder, const Bytes& stream, size_t expectedSize, Bytes& output,
                        const plumbing::Tick& tick = {});

} // namespace coders::test
