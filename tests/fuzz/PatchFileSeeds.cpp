// Writes the patch file target's seeds into the folder given: patches the builder makes from
// FuzzOldTree to FuzzNewTree, one for each shape of patch the reader tells apart.
#include "PatchBuilder.h"
#include "PatchFileTrees.h"

#include <cstdio>

namespace {

using namespace patchfile;

struct Seed {
    const char* file;
    BuildOptions options;
};

BuildOptions WithDeletesAndLocator() {
    BuildOptions options;
    options.withDeletes = true;
    options.locator = {"Software\\Quillmere", "InstallPath"};
    return options;
}

// Stored payloads let the fuzzer change the deltas' bytes directly rather than through zlib.
BuildOptions Stored() {
    BuildOptions options;
    options.compressionLevel = 0;
    return options;
}

// A signed file: the fuzzer reaches the signature block's reading (the target trusts no key,
// so the signature itself is not checked). The key is a fixed throw-away one.
BuildOptions Signed() {
    static SigningKey key;
    std::string error;
    if (!ParseSigningKey(std::string(kPrivateKeyType) + "\n" + std::string(64, '5') + "\n", key,
                         error))
        std::fprintf(stderr, "signed seed: %s\n", error.c_str());
    BuildOptions options;
    options.signingKey = &key;
    return options;
}

bool Write(const testing::TempFolder& trees, const Seed& seed, const std::string& folder) {
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildSummary summary;
    std::string error;
    if (BuildPatch(*files, trees.Sub("old").string(), trees.Sub("new").string(),
                   folder + "/" + seed.file, seed.options, nullptr, summary, error))
        return true;
    std::fprintf(stderr, "%s: %s\n", seed.file, error.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    testing::TempFolder trees;
    testing::WriteTree(trees.Sub("old"), testing::FuzzOldTree());
    testing::WriteTree(trees.Sub("new"), testing::FuzzNewTree());
    const Seed seeds[] = {{"seed-no-locator.rtp", BuildOptions{}},
                          {"seed-with-deletes.rtp", WithDeletesAndLocator()},
                          {"seed-stored.rtp", Stored()},
                          {"seed-signed.rtp", Signed()}};
    for (const Seed& seed : seeds)
        if (!Write(trees, seed, argv[1]))
            return 1;
    return 0;
}
