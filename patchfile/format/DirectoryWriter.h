#pragma once
#include "PatchFormat.h"

#include <cstdint>
#include <vector>

namespace patchfile {

// The header and directory of a patch file, checksum included: the bytes that precede the
// payloads. The entries' payload offsets are not written (they follow from the sizes).
std::vector<uint8_t> EncodeDirectory(const PatchDirectory& directory);

// The size EncodeDirectory gives for these entries, known before any payload is written.
uint64_t EncodedDirectorySize(const PatchDirectory& directory);

} // namespace patchfile
