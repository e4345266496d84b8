#include "RecodeError.h"

#include "EnumText.h"

namespace recode {

// Indexed by Error.
constexpr const char* kDescriptions[] = {
    "no error",
    "the recoded payload ends early",
    "not a recoded payload",
    "the stream tables are damaged",
    "an old stream does not inflate as the payload says",
    "the delta of the expanded files failed",
    "a new stream cannot be rebuilt",
    "the old file could not be read",
    "the payload could not be read",
    "a scratch file could not be written or read",
    "the output could not be written",
    "stopped",
    "out of memory",
};

const char* Describe(Error error) {
    return quill::TextOf<Error::OutOfMemory>(kDescriptions, error, "unknown error");
}

} // namespace recode
