#pragma once
#include "DeflateParse.h"
#include "Streams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace deflatestream {

// Writes the raw deflate stream that `parse` describes over `content`, bit for bit the one
// ParseDeflate read. The parse is as hostile as any input: a code it asks for that its
// header does not define, a distance beyond the content so far, a count beyond what
// deflate allows, content that ends early or goes on after the last block, or a stream of
// the parse not used to its end are refused with the reason. Memory stays bounded; the work
// is linear in the parse and the content.
bool WriteDeflate(const DeflateParse& parse, ByteInput& content, ByteOutput& stream,
                  std::string& why);

// A parse whose five streams (as in DeflateParse) are read as the writer needs them, a piece
// at a time: a parse of any size is never held whole.
struct ParseInputs {
    ByteInput& blocks;
    ByteInput& literalRuns;
    ByteInput& lengths;
    ByteInput& distances;
    ByteInput& longLengths;
    uint64_t contentBytes = 0;
    uint64_t streamBytes = 0;
};

// The same with the parse read from its inputs: every stream must end exactly where the
// writer stops reading it.
bool WriteDeflate(const ParseInputs& parse, ByteInput& content, ByteOutput& stream,
                  std::string& why);

// The same over content in memory, the stream into a vector.
bool WriteDeflate(const DeflateParse& parse, const uint8_t* content, size_t size,
                  std::vector<uint8_t>& stream, std::string& why);

} // namespace deflatestream
