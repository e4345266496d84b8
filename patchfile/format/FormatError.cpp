#include "FormatError.h"

namespace patchfile {

const char* DescribeFormatError(FormatError error) {
    switch (error) {
    case FormatError::None:
        return "no error";
    case FormatError::Truncated:
        return "the patch file is truncated";
    case FormatError::BadMagic:
        return "not a patch file";
    case FormatError::UnsupportedVersion:
        return "unsupported patch format version";
    case FormatError::BadFlags:
        return "unknown header flags";
    case FormatError::DirectoryTooLarge:
        return "the directory is too large";
    case FormatError::DirectoryChecksum:
        return "the directory checksum does not match";
    case FormatError::DirectoryLength:
        return "the directory is longer than its entries";
    case FormatError::BadLocator:
        return "the folder locator is malformed";
    case FormatError::BadEntryKind:
        return "unknown entry kind";
    case FormatError::BadEntryField:
        return "an unused entry field is not zero";
    case FormatError::UnknownMethod:
        return "an entry's payload method is unknown";
    case FormatError::BadName:
        return "invalid file name";
    case FormatError::UnsafeName:
        return "file name outside the target folder";
    case FormatError::DuplicateName:
        return "file named twice";
    case FormatError::SizeOutOfRange:
        return "file size out of range";
    case FormatError::TrailingData:
        return "data after the last payload";
    case FormatError::PayloadChecksum:
        return "payload checksum does not match";
    case FormatError::PayloadCorrupt:
        return "payload is not a valid compressed stream";
    case FormatError::DeltaCorrupt:
        return "the delta is corrupt";
    case FormatError::WindowTooLarge:
        return "a delta window exceeds the memory limit";
    case FormatError::ResultMismatch:
        return "the rebuilt file does not match its recorded checksum";
    case FormatError::BadSignatureBlock:
        return "the signature block is damaged";
    case FormatError::UnknownSignatureAlgorithm:
        return "the patch file is signed in a way this library does not know";
    case FormatError::Unsigned:
        return "the patch file is not signed by its publisher";
    case FormatError::SignedByOtherKey:
        return "the patch file is signed with another key than its publisher's";
    case FormatError::SignatureMismatch:
        return "the patch file was altered after it was signed";
    }
    return "unknown error";
}

} // namespace patchfile
