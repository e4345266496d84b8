#pragma once
#include "DeflateSamples.h"

#include <filesystem>

namespace deflatestream::test {

// A folder of three inputs of the usual kinds, for Debian's encoders to compress: text.txt,
// program.bin (long repeats) and image.raw (random bytes, then zeros). Made once per test
// program and removed at its end.
const std::filesystem::path& ToolInputsFolder();

// Runs `command` in the folder (it writes `out`) and gives what it wrote; empty when the
// command failed.
Bytes RunTool(const std::string& command);

} // namespace deflatestream::test
