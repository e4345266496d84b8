#pragma once
#include "FileSystem.h"

#include <string>
#include <vector>

namespace patchfile {

// The files below `root`, as relative names with backslashes between components, sorted.
// Folders are walked, not listed. False with a message when a folder cannot be read.
bool ScanTree(FileSystem& fs, const std::string& root, std::vector<std::string>& names,
              std::string& error);

} // namespace patchfile
