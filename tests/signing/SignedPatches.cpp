#include "SignedPatches.h"

#include "EventRecorder.h"
#include "FileSystem.h"
#include "PatchApplier.h"
#include "PatchBuilder.h"
#include "PatchSigner.h"

#include <stdexcept>

namespace patchfile::testing {
namespace {

const char kGame[] = "game";
const char kPatch[] = "Patch1.rtp";

} // namespace

SigningKey TestKey(uint8_t seedByte) {
    std::string text = std::string(kPrivateKeyType) + "\n";
    for (int i = 0; i < 32; ++i)
        text += "0123456789abcdef"[(seedByte + i) & 15];
    text += std::string(32, '7') + "\n";
    SigningKey key;
    std::string error;
    if (!ParseSigningKey(text, key, error))
        throw std::runtime_error(error);
    return key;
}

Tree OldGame() {
    std::string maps = RandomBytes(700, 11);
    return {{"readme.txt", "Quillmere 1.0\r\n"}, {"data\\maps.pak", maps}};
}

Tree NewGame() {
    std::string maps = RandomBytes(700, 11);
    maps.replace(300, 8, "changed!");
    return {{"readme.txt", "Quillmere 1.1\r\n"},
            {"data\\maps.pak", maps},
            {"movies\\intro.txt", "new in this version"}};
}

std::vector<uint8_t> BuildSamplePatch(const SigningKey* key) {
    TempFolder temp;
    WriteTree(temp.Sub("old"), OldGame());
    WriteTree(temp.Sub("new"), NewGame());
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildOptions options;
    options.signingKey = key;
    BuildSummary summary;
    std::string error;
    std::string output = temp.Sub(kPatch).string();
    if (!BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(), output, options,
                    nullptr, summary, error))
        throw std::runtime_error(error);
    std::string bytes = ReadFile(output);
    return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> SignBody(const std::vector<uint8_t>& body, const SigningKey& key) {
    MemoryFileSystem fs(1 << 20);
    fs.AddFile("body", std::string(body.begin(), body.end()));
    IoError io, written;
    std::unique_ptr<InputFile> in = fs.OpenRead("body", io);
    std::unique_ptr<OutputFile> out = fs.Create("signed", io);
    if (!in || !out || !CopyAndSign(*in, *out, key, plumbing::Tick(), io, written) ||
        !out->Close(io))
        throw std::runtime_error("cannot sign in memory");
    const std::string& bytes = fs.files().at("signed");
    return {bytes.begin(), bytes.end()};
}

MemoryFileSystem GameWithPatch(const std::vector<uint8_t>& patch) {
    MemoryFileSystem fs(1 << 20);
    fs.AddFolder(kGame);
    fs.AddFolder(std::string(kGame) + "\\data");
    for (const auto& [name, contents] : OldGame())
        fs.AddFile(fs.Join(kGame, name), contents);
    fs.AddFile(kPatch, std::string(patch.begin(), patch.end()));
    return fs;
}

Tree GameFiles(const MemoryFileSystem& fs) {
    Tree files;
    std::string prefix = std::string(kGame) + "\\";
    for (const auto& [path, contents] : fs.files()) {
        if (path.rfind(prefix, 0) == 0)
            files[path.substr(prefix.size())] = contents;
    }
    return files;
}

ApplyStatus ApplySample(MemoryFileSystem& fs, const PublicKey* trusted) {
    EventRecorder events;
    PatchApplier applier(fs, events, nullptr);
    if (trusted)
        applier.TrustOnly(*trusted);
    applier.Apply(kPatch, kGame);
    return applier.status();
}

} // namespace patchfile::testing
