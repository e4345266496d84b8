#pragma once
#include "StreamCoder.h"

#include <cstddef>
#include <cstdint>

// One decoder per coder, each with the contract of Decode().
namespace coders {

DecodeResult DecodeStore(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                         const plumbing::Tick& tick);
DecodeResult DecodeDeflate(const uint8_t* input, size_t inputSize, uint8_t* output,
                           size_t outputSize, const plumbing::Tick& tick);
DecodeResult DecodeZstd(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                        const plumbing::Tick& tick);
DecodeResult DecodeXz(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize,
                      const plumbing::Tick& tick);

} // namespace coders
