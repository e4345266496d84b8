// The patch file reader and apply engine against arbitrary patch files, applied in memory to
// a small game tree (PatchFileTrees.h). Whatever the input: no crash, nothing written outside the
// game folder, no temporary file left (nothing that was not there or that no entry names), and a
// run that reports success leaves every file the patch names with the size and CRC-32 the patch
// recorded.
//
// The checksums of the directory and payloads are recomputed before each run, so that the
// fuzzer gets past them to the fields they guard. The seeds in corpus/patch_file began as
// patches the builder made from that tree's old to its new version (make-patch-file-seeds.sh).
#include "Crc32.h"
#include "DirectoryReader.h"
#include "MemoryFileSystem.h"
#include "MemoryInputFile.h"
#include "PatchApplier.h"
#include "PatchFileTrees.h"
#include "PatchFormat.h"

#include <cstdlib>

namespace {

using patchfile::testing::MemoryFileSystem;

const char kGame[] = "game";
const char kPatch[] = "patch.rtp";

uint32_t Little32(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

void PutLittle32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The directory's checksum field, or 0 when the header gives no usable directory size.
size_t DirectoryChecksumOffset(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < patchfile::kHeaderSize)
        return 0;
    uint32_t size = Little32(bytes, 12);
    if (size < 12 || size > bytes.size() - patchfile::kHeaderSize)
        return 0;
    return patchfile::kHeaderSize + size - patchfile::kChecksumSize;
}

void RefreshDirectoryChecksum(std::vector<uint8_t>& bytes, size_t checksumAt) {
    PutLittle32(bytes, checksumAt, patchfile::ComputeCrc32(bytes.data(), checksumAt));
}

// Each entry's payload CRC-32 field, found by walking a directory the reader accepted.
void RefreshPayloadChecksums(std::vector<uint8_t>& bytes,
                             const patchfile::PatchDirectory& directory) {
    size_t offset = patchfile::kHeaderSize;
    offset += 2 + (bytes[offset] | (bytes[offset + 1] << 8));
    offset += 2 + (bytes[offset] | (bytes[offset + 1] << 8)) + 4;
    for (const patchfile::PatchEntry& entry : directory.entries) {
        PutLittle32(bytes, offset + 36,
                    patchfile::ComputeCrc32(bytes.data() + entry.payloadOffset,
                                            static_cast<size_t>(entry.payloadSize)));
        offset += patchfile::kEntryFixedSize + entry.name.size();
    }
}

void RefreshChecksums(std::vector<uint8_t>& bytes) {
    size_t checksumAt = DirectoryChecksumOffset(bytes);
    if (checksumAt == 0)
        return;
    RefreshDirectoryChecksum(bytes, checksumAt);
    patchfile::MemoryInputFile file(bytes);
    patchfile::PatchDirectory directory;
    if (!patchfile::ReadDirectory(file, directory).ok())
        return;
    RefreshPayloadChecksums(bytes, directory);
    RefreshDirectoryChecksum(bytes, checksumAt);
}

class GoOn : public patchfile::EventSink {
public:
    bool OnEvent(uint32_t, const void*) override { return true; }
};

const patchfile::testing::Tree& OldGameTree() {
    static const patchfile::testing::Tree tree = patchfile::testing::FuzzOldTree();
    return tree;
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// A file the run leaves in the game folder was there before or is one an entry names: a
// temporary file of the run's is neither.
bool WasThereOrIsNamed(const std::string& name, const patchfile::PatchDirectory& directory) {
    if (OldGameTree().count(name))
        return true;
    for (const patchfile::PatchEntry& entry : directory.entries) {
        if (entry.name == name)
            return true;
    }
    return false;
}

void CheckAfterwards(const MemoryFileSystem& fs, const std::vector<uint8_t>& bytes,
                     patchfile::Outcome outcome) {
    std::string inside = std::string(kGame) + "\\";
    patchfile::MemoryInputFile file(bytes);
    patchfile::PatchDirectory directory;
    bool readable = patchfile::ReadDirectory(file, directory).ok();
    for (const auto& [path, contents] : fs.files()) {
        if (path == kPatch)
            continue;
        Require(path.compare(0, inside.size(), inside) == 0);
        Require(WasThereOrIsNamed(path.substr(inside.size()), directory));
    }
    for (const std::string& folder : fs.folders())
        Require(folder == kGame || folder.compare(0, inside.size(), inside) == 0);
    if (outcome != patchfile::Outcome::Done)
        return;
    Require(readable);
    for (const patchfile::PatchEntry& entry : directory.entries) {
        auto found = fs.files().find(inside + entry.name);
        if (entry.kind == patchfile::EntryKind::Delete) {
            Require(found == fs.files().end());
            continue;
        }
        Require(found != fs.files().end());
        Require(found->second.size() == entry.resultSize);
        Require(patchfile::ComputeCrc32(found->second.data(), found->second.size()) ==
                entry.resultCrc);
    }
}

MemoryFileSystem GameFolder(const std::vector<uint8_t>& patch) {
    MemoryFileSystem fs(1 << 20);
    fs.AddFolder(kGame);
    for (const auto& [name, contents] : OldGameTree()) {
        for (size_t slash = name.find('\\'); slash != std::string::npos;
             slash = name.find('\\', slash + 1))
            fs.AddFolder(std::string(kGame) + "\\" + name.substr(0, slash));
        fs.AddFile(std::string(kGame) + "\\" + name, contents);
    }
    fs.AddFile(kPatch, std::string(patch.begin(), patch.end()));
    return fs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    RefreshChecksums(bytes);
    MemoryFileSystem fs = GameFolder(bytes);
    GoOn sink;
    patchfile::PatchApplier applier(fs, sink, nullptr);
    patchfile::Outcome outcome = applier.Apply(kPatch, kGame);
    CheckAfterwards(fs, bytes, outcome);
    return 0;
}
