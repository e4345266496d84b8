#pragma once
#include <string>

namespace patchfile {

// Why a patch file was refused as damaged or not ours. Each has its own wording so that a
// person (and a test) can tell them apart.
enum class FormatError {
    None,
    Truncated,                 // the file ends inside the header, the directory or a payload
    BadMagic,                  // not a patch file of ours
    UnsupportedVersion,        // a format version this library does not know
    BadFlags,                  // reserved header bits set
    DirectoryTooLarge,         // directory size beyond the limit
    DirectoryChecksum,         // the directory's CRC-32 does not match
    DirectoryLength,           // the directory holds bytes after its last entry
    BadLocator,                // locator lengths out of range or half given
    BadEntryKind,              // an entry kind other than patch, add, delete
    BadEntryField,             // a reserved byte or a field its kind does not use is not zero
    UnknownMethod,             // a payload method this library does not know
    BadName,                   // empty, too long, or characters not allowed in a file name
    UnsafeName,                // a name that could leave the target folder
    DuplicateName,             // two entries for the same file
    SizeOutOfRange,            // a file size beyond a 64-bit file offset
    TrailingData,              // bytes after the last payload
    PayloadChecksum,           // a payload's CRC-32 does not match
    PayloadCorrupt,            // a payload is not a valid zlib stream, or one with trailing bytes
    DeltaCorrupt,              // a delta the decoder refused
    WindowTooLarge,            // a delta window beyond the library's memory limit
    ResultMismatch,            // the rebuilt file does not have the recorded size or CRC-32
    BadSignatureBlock,         // a signed file's last bytes are no signature block
    UnknownSignatureAlgorithm, // a signature of a kind this library does not check
    Unsigned,                  // a library that trusts a key was given a file without a signature
    SignedByOtherKey,          // signed, but not with the key the library trusts
    SignatureMismatch, // the signature does not match the file's bytes: altered since signed
};

// A short description such as "the directory checksum does not match".
const char* DescribeFormatError(FormatError error);

} // namespace patchfile
