#pragma once
#include "FileSystem.h"

#include <memory>
#include <string>

namespace patchfile {

// Creates a new file beside `target` under the first free temporary name, which is no longer
// than the target's own, so that a temporary file can be written wherever the target can.
// `path` receives the name. A taken name is someone else's file (a player's, the game's, or
// one a killed run left and that cannot be told from those): it is never replaced, the next
// name is tried.
std::unique_ptr<OutputFile> CreateTemporaryBeside(FileSystem& fs, const std::string& target,
                                                  std::string& path, IoError& error);

} // namespace patchfile
