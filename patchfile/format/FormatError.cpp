#include "FormatError.h"

#include "EnumText.h"

namespace patchfile {

// Indexed by FormatError.
constexpr const char* kDescriptions[] = {
    "no error",
    "the patch file is truncated",
    "not a patch file",
    "unsupported patch format version",
    "unknown header flags",
    "the directory is too large",
    "the directory checksum does not match",
    "the directory is longer than its entries",
    "the folder locator is malformed",
    "unknown entry kind",
    "an unused entry field is not zero",
    "an entry's payload method is unknown",
    "invalid file name",
    "file name outside the target folder",
    "file named twice",
    "file size out of range",
    "data after the last payload",
    "payload checksum does not match",
    "payload is not a valid compressed stream",
    "the delta is corrupt",
    "a delta window exceeds the memory limit",
    "the rebuilt file does not match its recorded checksum",
    "the signature block is damaged",
    "the patch file is signed in a way this library does not know",
    "the patch file is not signed by its publisher",
    "the patch file is signed with another key than its publisher's",
    "the patch file was altered after it was signed",
};

const char* DescribeFormatError(FormatError error) {
    return quill::TextOf<FormatError::SignatureMismatch>(kDescriptions, error, "unknown error");
}

} // namespace patchfile
