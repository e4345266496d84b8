#pragma once
// What every seed writer of the fuzz targets does around its own seeds: take the folders it
// writes into from its command line, and write a seed byte for byte.
#include <cstdint>
#include <string>
#include <vector>

// True when the program was given exactly the folders `names` says (such as "FOLDER"), one
// word each; otherwise says how to call it.
bool HasSeedFolders(int argc, char** argv, const char* names);

// Writes `bytes` to `path`; says which seed was not written when that fails.
bool WriteSeedFile(const std::string& path, const std::vector<uint8_t>& bytes);
