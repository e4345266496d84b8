#include "VcdiffError.h"

#include "EnumText.h"

namespace vcdiff {

// Indexed by Error.
constexpr const char* kDescriptions[] = {
    "no error",
    "the delta ends early",
    "not a VCDIFF delta",
    "unsupported VCDIFF version",
    "the delta uses its own code table, which is not supported",
    "the delta uses secondary compression, which is not supported",
    "the delta is corrupt",
    "a delta window is larger than allowed",
    "a copy address lies outside the data available",
    "the delta refers to source data that is not there",
    "the decoded data does not match the delta's checksum",
    "the source file could not be read",
    "the output could not be written or the operation was stopped",
    "not enough memory",
    "stopped on request",
};

const char* Describe(Error error) {
    return quill::TextOf<Error::Cancelled>(kDescriptions, error, "unknown error");
}

} // namespace vcdiff
