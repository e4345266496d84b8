#pragma once
#include "Streams.h"

#include <cstdint>

namespace recode {

// Where the parts of a serialized parse (parse version 1, SerializeParse's layout) lie: its
// head of varints (the content's and the stream's sizes, the five streams' lengths), then
// the five streams back to back.
struct ParseLayout {
    uint64_t contentBytes = 0;
    uint64_t deflateBytes = 0;
    uint64_t streamBytes[5] = {};
    uint64_t headBytes = 0;
};

// Reads the head from `head` (the parse's bytes from its start); false when it is damaged
// or the streams' lengths do not add up to exactly `parseBytes` with it.
bool ReadParseLayout(deflatestream::ByteInput& head, uint64_t parseBytes, ParseLayout& layout);

} // namespace recode
