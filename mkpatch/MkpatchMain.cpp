// mkpatch: builds a patch file that turns the old tree (the game as installed from its CD)
// into the new one.
#include "EngineVersion.h"
#include "MkpatchOptions.h"
#include "PatchFormat.h"
#include "ProgressBar.h"

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
    "  --delete              delete files that only OLD_FOLDER has\n"
    "  --locator-key KEY     registry key under HKEY_CURRENT_USER naming the game folder\n"
    "                        (default Software\\Corvanel\\Tessik)\n"
    "  --locator-value NAME  its value (default Program)\n"
    "  --no-locator          no locator: the folder must be given when applying\n"
    "  --method M            blocks: covers, differences and literals in blocks, each\n"
    "                        stream with the smallest of its coders (patch file format\n"
    "                        2); vcdiff: a zlib-compressed VCDIFF delta per file (format\n"
    "                        1, which xdelta3 decodes once inflated); by default each\n"
    "                        file is coded both ways and the smaller kept\n"
    "  --coder C             blocks, every stream stored with zstd, xz or deflate\n"
    "  --level N             zlib level 0-9 for vcdiff payloads (default 9)\n"
    "  --quiet               print nothing but errors\n"
    "  --help                print this and exit\n"
    "  --version             print the version and exit\n"
    "exit codes: 0 written, 1 usage, 2 failed\n";

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
    return 0;
}
