#pragma once
#include "FileSystem.h"
#include "PatchFormat.h"
#include "SigningKey.h"
#include "StreamChoice.h"

#include <cstdint>
#include <optional>
#include <string>

namespace patchfile {

struct BuildOptions {
    Locator locator;          // empty: the folder must be given when applying
    bool withDeletes = false; // delete files that only the old tree has
    // How patch and add payloads are coded: blocks (format version 2), or one zlib stream
    // each (VCDIFF deltas; a patch file of only these is format version 1). Unset: each
    // entry is coded both ways and the smaller payload kept.
    std::optional<PayloadMethod> method;
    int compressionLevel = 9; // zlib level of the zlib-stream payloads
    // The coders the streams of blocks may be stored with (storing as they are is always
    // allowed); per stream the smallest is kept.
    blockdiff::CoderSet coders = blockdiff::kAllCoders;
    // Set: the patch file is signed with this key (header flag, signature block at its end).
    const SigningKey* signingKey = nullptr;
};

// Told what the builder is doing, for a progress display.
class BuildObserver {
public:
    virtual ~BuildObserver() = default;
    virtual void OnEntry(const PatchEntry& entry, size_t index, size_t count) = 0;
    // Bytes of the current entry's work done; returning false stops the build.
    virtual bool OnProgress(uint64_t done, uint64_t total) = 0;
};

struct BuildSummary {
    size_t patched = 0;
    size_t added = 0;
    size_t deleted = 0;
    uint64_t patchFileSize = 0;
};

// Writes a patch file that turns the old tree into the new one (see PlanPatch). The file is
// written beside `output` under a temporary name and moved into place when complete, so a
// failed build leaves no half patch file. Memory stays bounded whatever the file sizes:
// files are streamed and the encoder matches against a bounded segment of each old file.
// False with a message for the user.
bool BuildPatch(FileSystem& fs, const std::string& oldRoot, const std::string& newRoot,
                const std::string& output, const BuildOptions& options, BuildObserver* observer,
                BuildSummary& summary, std::string& error);

} // namespace patchfile
