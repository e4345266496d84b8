#pragma once
#include <string>

// Whether a file or a folder of that name exists; a relative name is taken from the
// current folder.
bool FileExists(const std::string& path);
