// mkpatch: builds a patch file that turns the old tree (the game as installed from its CD)
// into the new one.
#include "EngineVersion.h"
#include "MkpatchOptions.h"
#include "PatchFormat.h"
#include "ProgressBar.h"
#include "SigningKey.h"

#include <cinttypes>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

const char kUsage[] =
    "usage: mkpatch [options] OLD_FOLDER NEW_FOLDER PATCH_FILE\n"
    "       mkpatch --new-key KEY_FILE\n"
    "  --delete              delete files that only OLD_FOLDER has\n"
    "  --locator-key KEY     registry key under HKEY_CURRENT_USER naming the game folder\n"
    "                        (default Software\\Corvanel\\Tessik)\n"
    "  --locator-value NAME  its value (default Program)\n"
    "  --no-locator          no locator: the folder must be given when applying\n"
    "  --method M            blocks: covers, differences and literals in blocks, each\n"
    "                        stream with the smallest of its coders (patch file format\n"
    "                        2); vcdiff: a zlib-compressed VCDIFF delta per file (format\n"
    "                        1, which xdelta3 decodes once inflated); recoded: the\n"
    "                        files' deflate streams seen through (zip, gzip, zlib, PNG),\n"
    "                        a block delta of their contents, each new stream rebuilt\n"
    "                        exactly (format 2; blocks where a file holds no stream); by\n"
    "                        default each file is coded every way and the smallest kept\n"
    "  --coder C             blocks, every stream stored with zstd, xz or deflate\n"
    "  --level N             zlib level 0-9 for vcdiff payloads (default 9)\n"
    "  --sign KEY_FILE       sign the patch file with this private key, so that a patch\n"
    "                        library built with its public key applies it\n"
    "  --new-key KEY_FILE    write a new private key to KEY_FILE (readable by its owner\n"
    "                        only) and its public key to KEY_FILE.pub; print the public\n"
    "                        key's fingerprint. Existing files are never overwritten\n"
    "  --quiet               print nothing but errors\n"
    "  --help                print this and exit\n"
    "  --version             print the version and exit\n"
    "exit codes: 0 written, 1 usage, 2 failed\n";

int WriteNewKey(const std::string& path) {
    patchfile::SigningKey key;
    std::string error;
    if (!patchfile::GenerateSigningKey(key)) {
        std::fprintf(stderr, "mkpatch: libsodium could not start\n");
        return 2;
    }
    if (!patchfile::WriteNewKeyPair(path, key, error)) {
        std::fprintf(stderr, "mkpatch: %s\n", error.c_str());
        return 2;
    }
    std::printf("wrote %s and %s.pub, key fingerprint %s\n", path.c_str(), path.c_str(),
                patchfile::KeyFingerprint(key.publicKey).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    mkpatch::MkpatchOptions options;
    std::string error;
    if (!mkpatch::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "mkpatch: %s\n%s", error.c_str(), kUsage);
        return 1;
    }
    if (options.showHelp) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("mkpatch %s (patch file format %u to %u)\n", patchfile::kEngineVersion,
                    patchfile::kFirstFormatVersion, patchfile::kNewestFormatVersion);
        return 0;
    }
    if (!options.newKeyFile.empty())
        return WriteNewKey(options.newKeyFile);
    patchfile::SigningKey signingKey;
    if (!options.signingKeyFile.empty()) {
        if (!patchfile::ReadSigningKeyFile(options.signingKeyFile, signingKey, error)) {
            std::fprintf(stderr, "mkpatch: %s\n", error.c_str());
            return 2;
        }
        options.build.signingKey = &signingKey;
    }
    std::unique_ptr<patchfile::FileSystem> fs = patchfile::MakeNativeFileSystem();
    mkpatch::ProgressBar progress(isatty(fileno(stderr)) != 0, options.quiet);
    patchfile::BuildSummary summary;
    bool built = patchfile::BuildPatch(*fs, options.oldFolder, options.newFolder, options.output,
                                       options.build, &progress, summary, error);
    progress.Finish();
    if (!built) {
        std::fprintf(stderr, "mkpatch: %s\n", error.c_str());
        return 2;
    }
    if (!options.quiet)
        std::printf("wrote %s: %zu patched, %zu added, %zu deleted, %" PRIu64 " bytes\n",
                    options.output.c_str(), summary.patched, summary.added, summary.deleted,
                    summary.patchFileSize);
    if (!options.quiet && options.build.signingKey)
        std::printf("signed with key %s\n",
                    patchfile::KeyFingerprint(signingKey.publicKey).c_str());
    return 0;
}
