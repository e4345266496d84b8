#pragma once
#include "FileSystem.h"
#include "FormatError.h"
#include "PatchFormat.h"

#include <string>

namespace patchfile {

// The outcome of reading a patch file's header and directory: the file could not be read
// (io set), it is damaged or not ours (format set, with `where` naming the entry), or it
// is fine.
struct DirectoryReadResult {
    FormatError format = FormatError::None;
    std::string where;
    IoError io;
    bool ok() const { return format == FormatError::None && !io; }
};

// Reads and checks the header and directory of an untrusted patch file: magic, version,
// the directory's size and CRC-32, every entry's fields and name, and that the payloads fill
// the rest of the file exactly. Payload contents are not read. Memory is bounded by the
// directory size limit.
DirectoryReadResult ReadDirectory(InputFile& file, PatchDirectory& directory);

} // namespace patchfile
