#pragma once

namespace patchfile {

// The version of the patch engine and its tools, as `mkpatch --version` prints it. The patch
// file format has versions of its own (PatchFormat.h).
constexpr char kEngineVersion[] = "2.0.0";

} // namespace patchfile
