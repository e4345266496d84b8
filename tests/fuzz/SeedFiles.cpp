#include "SeedFiles.h"

#include <cstdio>
#include <sstream>

bool HasSeedFolders(int argc, char** argv, const char* names) {
    std::istringstream words(names);
    int count = 0;
    for (std::string word; words >> word;)
        ++count;
    if (argc == count + 1)
        return true;
    std::fprintf(stderr, "usage: %s %s\n", argv[0], names);
    return false;
}

bool WriteSeedFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: not written\n", path.c_str());
        return false;
    }
    return true;
}
