#pragma once
#include <string>

namespace fpatch {

// Prints what a patch file holds: format version, locator, and each entry with its sizes;
// checks every checksum. Returns the program's exit code (0, or 3 for a damaged file).
int PrintPatchInfo(const std::string& patchPath);

} // namespace fpatch
