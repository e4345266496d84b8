#pragma once
#include "FileSystem.h"
#include "SigningKey.h"
#include "Tick.h"

namespace patchfile {

// Copies a patch file that is complete but for its signature (header flag set, the block's
// head after the last payload) from `in` to `out` and appends the signature of every byte
// copied, computed while copying: the file is never held in memory. The caller closes `out`.
bool CopyAndSign(InputFile& in, OutputFile& out, const SigningKey& key, const plumbing::Tick& tick,
                 IoError& readError, IoError& writeError);

} // namespace patchfile
