// Writes the patch file target's seeds into the folder given: patches the builder makes from
// FuzzOldTree to FuzzNewTree (or of its x86 program alone), one for each shape of patch the
// reader tells apart: format 1 and 2, zlib-stream and block payloads, predicted x86 payloads,
// signed files.
#include "PatchBuilder.h"
#include "PatchFileTrees.h"
#include "SeedFiles.h"

#include <cstdio>

namespace {

using namespace patchfile;

struct Seed {
    const char* file;
    BuildOptions options;
    const testing::TempFolder& trees; // old/ and new/
};

// Every payload one zlib stream: a format-1 file.
BuildOptions ZlibStreams() {
    BuildOptions options;
    options.method = PayloadMethod::Deflate;
    return options;
}

BuildOptions WithDeletesAndLocator() {
    BuildOptions options = ZlibStreams();
    options.withDeletes = true;
    options.locator = {"Software\\Quillmere", "InstallPath"};
    return options;
}

// Stored payloads let the fuzzer change the deltas' bytes directly rather than through zlib.
BuildOptions Stored() {
    BuildOptions options = ZlibStreams();
    options.compressionLevel = 0;
    return options;
}

// Block payloads make a format-2 file; with no coder allowed every stream is stored, so the
// fuzzer changes covers, differences and literals directly.
BuildOptions Blocks(blockdiff::CoderSet coders = blockdiff::kAllCoders) {
    BuildOptions options;
    options.method = PayloadMethod::Blocks;
    options.coders = coders;
    return options;
}

// A signed file: the fuzzer reaches the signature block's reading (the target trusts no key,
// so the signature itself is not checked). The key is a fixed throw-away one.
BuildOptions Signed(BuildOptions options = {}) {
    static SigningKey key;
    std::string error;
    if (!ParseSigningKey(std::string(kPrivateKeyType) + "\n" + std::string(64, '5') + "\n", key,
                         error))
        std::fprintf(stderr, "signed seed: %s\n", error.c_str());
    options.signingKey = &key;
    return options;
}

void WriteTrees(const testing::TempFolder& trees, const testing::Tree& oldTree,
                const testing::Tree& newTree) {
    testing::WriteTree(trees.Sub("old"), oldTree);
    testing::WriteTree(trees.Sub("new"), newTree);
}

bool Write(const Seed& seed, const std::string& folder) {
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildSummary summary;
    std::string error;
    if (BuildPatch(*files, seed.trees.Sub("old").string(), seed.trees.Sub("new").string(),
                   folder + "/" + seed.file, seed.options, nullptr, summary, error))
        return true;
    std::fprintf(stderr, "%s: %s\n", seed.file, error.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (!HasSeedFolders(argc, argv, "FOLDER"))
        return 2;
    testing::Tree oldTree = testing::FuzzOldTree(), newTree = testing::FuzzNewTree();
    testing::TempFolder trees, program;
    WriteTrees(trees, oldTree, newTree);
    WriteTrees(program, {{"game.exe", oldTree["game.exe"]}}, {{"game.exe", newTree["game.exe"]}});
    // The first: each entry coded the smaller way, which takes blocks for the program alone.
    const Seed seeds[] = {{"seed-no-locator.rtp", BuildOptions{}, trees},
                          {"seed-with-deletes.rtp", WithDeletesAndLocator(), trees},
                          {"seed-stored.rtp", Stored(), trees},
                          {"seed-signed.rtp", Signed(ZlibStreams()), trees},
                          {"seed-blocks.rtp", Blocks(), trees},
                          {"seed-blocks-stored.rtp", Blocks(0), trees},
                          {"seed-blocks-signed.rtp", Signed(Blocks()), trees},
                          {"seed-predicted-x86.rtp", Blocks(0), program}};
    for (const Seed& seed : seeds)
        if (!Write(seed, argv[1]))
            return 1;
    return 0;
}
