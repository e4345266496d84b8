#include "PatchInfo.h"

#include "DirectoryReader.h"
#include "ExitCode.h"
#include "PayloadReader.h"

#include <cinttypes>
#include <cstdio>

namespace fpatch {
namespace {

void PrintEntry(const patchfile::PatchEntry& entry) {
    std::printf("%-6s %s", patchfile::EntryKindName(entry.kind), entry.name.c_str());
    if (entry.kind == patchfile::EntryKind::Patch)
        std::printf("  %" PRIu64 " bytes (crc %08" PRIx32 ") ->", entry.sourceSize,
                    entry.sourceCrc);
    if (entry.kind != patchfile::EntryKind::Delete)
        std::printf("  %" PRIu64 " bytes (crc %08" PRIx32 "), payload %" PRIu64 " bytes (%s)",
                    entry.resultSize, entry.resultCrc, entry.payloadSize,
                    patchfile::PayloadMethodName(entry.method));
    std::printf("\n");
}

} // namespace

int PrintPatchInfo(const std::string& patchPath) {
    std::unique_ptr<patchfile::FileSystem> fs = patchfile::MakeNativeFileSystem();
    patchfile::IoError io;
    std::unique_ptr<patchfile::InputFile> file = fs->OpenRead(patchPath, io);
    if (!file) {
        std::fprintf(stderr, "fpatch: cannot open %s: %s\n", patchPath.c_str(),
                     patchfile::DescribeIoError(io).c_str());
        return kExitFailed;
    }
    patchfile::PatchDirectory directory;
    patchfile::DirectoryReadResult read = patchfile::ReadDirectory(*file, directory);
    if (read.io) {
        std::fprintf(stderr, "fpatch: cannot read %s: %s\n", patchPath.c_str(),
                     patchfile::DescribeIoError(read.io).c_str());
        return kExitFailed;
    }
    if (!read.ok()) {
        std::fprintf(stderr, "fpatch: %s: %s (%s)\n", patchPath.c_str(),
                     patchfile::DescribeFormatError(read.format), read.where.c_str());
        return kExitDamaged;
    }
    std::printf("format version %u\n", directory.version);
    if (directory.locator.empty())
        std::printf("locator: none\n");
    else
        std::printf("locator: HKEY_CURRENT_USER\\%s value %s\n", directory.locator.key.c_str(),
                    directory.locator.value.c_str());
    std::printf("%zu entries\n", directory.entries.size());
    for (const patchfile::PatchEntry& entry : directory.entries) {
        PrintEntry(entry);
        if (patchfile::CheckPayloadChecksum(*file, entry, nullptr, io) !=
            patchfile::PayloadResult::Ok) {
            std::fprintf(stderr, "fpatch: %s: the payload of %s is damaged or unreadable\n",
                         patchPath.c_str(), entry.name.c_str());
            return kExitDamaged;
        }
    }
    return kExitOk;
}

} // namespace fpatch
