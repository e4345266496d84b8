#include "BlockError.h"

#include "EnumText.h"

namespace blockdiff {

// Indexed by Error.
constexpr const char* kDescriptions[] = {
    "no error",
    "the block delta ends early",
    "not a block delta",
    "a size in the block delta is larger than allowed",
    "the block delta is corrupt",
    "a stream of the block delta uses an unknown compression",
    "a compressed stream of the block delta is damaged",
    "a cover lies outside the old file or its block",
    "a block does not match its checksum",
    "the old file could not be read",
    "the block delta could not be read",
    "the output could not be written",
    "stopped on request",
    "not enough memory",
};

const char* Describe(Error error) {
    return quill::TextOf<Error::OutOfMemory>(kDescriptions, error, "unknown error");
}

} // namespace blockdiff
