#pragma once
#include "FileSystem.h"
#include "FormatError.h"
#include "PublicKey.h"
#include "Tick.h"

namespace patchfile {

struct SignatureCheck {
    FormatError format = FormatError::None; // why the file is refused
    IoError io;                             // the file could not be read
    bool stopped = false;                   // the tick asked to stop
    bool ok() const { return format == FormatError::None && !io && !stopped; }
};

// Whether a patch file is signed with `trusted`: its header says it is signed, its signature
// block names that key, and the signature matches every byte before it. Reads only the
// header's first fields and the signature block before the signature is checked, so nothing
// of the directory is trusted until then. The file is read in chunks of 64 KiB with `tick`
// between them (may be empty).
SignatureCheck VerifyPatchSignature(InputFile& file, const PublicKey& trusted,
                                    const plumbing::Tick& tick);

} // namespace patchfile
