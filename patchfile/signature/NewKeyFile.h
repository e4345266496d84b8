#pragma once
#include <string>

namespace patchfile {

// Creates `path` and writes `text` to it, failing when the file exists. `ownerOnly`: the file
// is created readable and writable by its owner alone, never wider even for an instant.
bool WriteNewFile(const std::string& path, const std::string& text, bool ownerOnly,
                  std::string& error);

} // namespace patchfile
