#include "PatchInfo.h"

#include "DirectoryReader.h"
#include "ExitCode.h"
#include "PayloadReader.h"
#include "PublicKey.h"
#include "SignatureVerifier.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <iterator>

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

// Which key the file says it is signed with, and whether the signature matches that key: a
// match proves the file unchanged since that key's holder signed it, not who the holder is.
bool PrintSignature(patchfile::InputFile& file, const patchfile::SignatureInfo& signature) {
    if (!signature.present) {
        std::printf("signature: none\n");
        return true;
    }
    patchfile::PublicKey key;
    std::copy(std::begin(signature.publicKey), std::end(signature.publicKey), key.bytes);
    patchfile::SignatureCheck check = patchfile::VerifyPatchSignature(file, key, nullptr);
    std::printf("signature: Ed25519ph by key %s, %s\n", patchfile::KeyFingerprint(key).c_str(),
                check.ok() ? "matches the file"
                : check.io ? "unreadable"
                           : patchfile::DescribeFormatError(check.format));
    return check.ok();
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
    bool signatureMatches = PrintSignature(*file, directory.signature);
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
    return signatureMatches ? kExitOk : kExitDamaged;
}

} // namespace fpatch
