#pragma once
#include "StreamCoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The encoders that go with the decoders of StreamCoder.h; the builder's side only.
namespace coders {

// Compresses `data` with `coder` at the strongest setting that suits a stream of `size`
// bytes, into `out` (replacing what it held). The result decodes with Decode(coder, ...)
// within kMaxDecoderWindow. False only when the encoder could not get its memory.
bool Encode(Coder coder, const uint8_t* data, size_t size, std::vector<uint8_t>& out);

} // namespace coders
