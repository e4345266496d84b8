#pragma once
#include "StreamTables.h"
#include "Streams.h"

#include <string>

namespace recode {

// zlib's raw deflate of the content under `settings`, the content fed in pieces of
// kDeflateChunk bytes: the one way a stream of zlib settings is made, by the decoder and by
// the builder's check alike, so that what the check accepts the decoder gives again.
// False with the reason when zlib fails or the output refuses.
bool DeflateWithZlib(const ZlibSettings& settings, deflatestream::ByteInput& content,
                     deflatestream::ByteOutput& out, std::string& why);

} // namespace recode
