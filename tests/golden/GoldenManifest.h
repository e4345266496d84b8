#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What a golden patch file must do, as its set's expected.txt says it. The sizes and CRC-32s
// were taken from the new folder when the set was written, not from the patch file, so a
// decoder and an encoder that agree on a wrong result still fail.
namespace golden {

struct ExpectedFile {
    std::string name; // relative, components separated by backslashes
    uint64_t size = 0;
    uint32_t crc = 0; // zlib's crc32 of the contents
};

struct PredictedEntry {
    std::string name;
    unsigned predictorVersion = 0;
};

struct Manifest {
    // A damaged file: the decode set whose old folder it is applied to.
    std::string oldSet;
    unsigned formatVersion = 0;       // 0: not stated (a damaged file)
    std::vector<std::string> methods; // "deflate", "blocks": every payload uses one of them
    std::vector<std::string> coders;  // the block coders the writer found in the payloads
    std::vector<PredictedEntry> predicted;
    std::vector<ExpectedFile> files; // every file of the folder once the patch is applied
    std::vector<std::string> gone;   // files of the old folder the patch deletes
    std::string refusal;             // a damaged file: the format error it must be refused with
};

// False with a reason for a line it does not understand. Names in the file use forward
// slashes, as the folders on disk do; they are returned with backslashes, as entries have.
bool ReadManifest(const std::filesystem::path& path, Manifest& manifest, std::string& error);

} // namespace golden
