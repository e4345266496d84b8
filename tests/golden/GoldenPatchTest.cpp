// Golden patch files, written once by an earlier build and never again (README.md): every one
// in decode/ must still apply to its old folder and give exactly the files its manifest lists;
// every one in errors/ must still be refused with its error, changing nothing. Natively the
// engine applies them, under Wine fpatch32.dll (GoldenApply.h). A decoder that loses a format
// version, a payload method, a coder or a predictor version fails here, which today's encoder
// round-tripping through today's decoder cannot show.
#include "DirectoryReader.h"
#include "EventReporter.h"
#include "GoldenApply.h"
#include "GoldenManifest.h"
#include "TestTree.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <set>

namespace golden {
namespace {

namespace fs = std::filesystem;
using patchfile::FormatError;
using patchfile::testing::Tree;

const fs::path kGoldenRoot = QUILL_GOLDEN_DIR;
const char kPatchName[] = "patch.rtp";
const char kManifestName[] = "expected.txt";

// The sets of one kind ("decode" or "errors"), in name order. None when the folder is
// missing: GoogleTest then fails the suite as never instantiated.
std::vector<std::string> SetNames(const char* kind) {
    std::vector<std::string> names;
    if (!fs::is_directory(kGoldenRoot / kind))
        return names;
    for (const auto& item : fs::directory_iterator(kGoldenRoot / kind)) {
        if (item.is_directory())
            names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Manifest ManifestOf(const fs::path& set) {
    Manifest manifest;
    std::string error;
    EXPECT_TRUE(ReadManifest(set / kManifestName, manifest, error)) << error;
    return manifest;
}

// The names a damaged file's manifest gives its expected error.
FormatError FormatErrorNamed(const std::string& name) {
    static const std::pair<const char*, FormatError> kNames[] = {
        {"Truncated", FormatError::Truncated},
        {"BadMagic", FormatError::BadMagic},
        {"UnsupportedVersion", FormatError::UnsupportedVersion},
        {"DirectoryChecksum", FormatError::DirectoryChecksum},
        {"UnknownMethod", FormatError::UnknownMethod},
        {"PayloadChecksum", FormatError::PayloadChecksum},
        {"PayloadCorrupt", FormatError::PayloadCorrupt},
        {"DeltaCorrupt", FormatError::DeltaCorrupt},
        {"ResultMismatch", FormatError::ResultMismatch},
    };
    for (const auto& [text, error] : kNames) {
        if (name == text)
            return error;
    }
    ADD_FAILURE() << "no format error is named " << name;
    return FormatError::None;
}

uint32_t ZlibCrc(const std::string& bytes) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// The patch applied to a copy of `oldFolder`, and the copy's files afterwards.
Applied ApplyToCopy(const fs::path& patch, const fs::path& oldFolder, Tree& folder) {
    patchfile::testing::TempFolder temp;
    const fs::path game = temp.Sub("game");
    patchfile::testing::CopyTree(oldFolder, game);
    const Applied applied = ApplyPatch(patch, game);
    folder = patchfile::testing::ReadTree(game);
    return applied;
}

bool ReadPatchDirectory(const fs::path& patch, std::unique_ptr<patchfile::InputFile>& file,
                        patchfile::PatchDirectory& directory) {
    std::unique_ptr<patchfile::FileSystem> files = patchfile::MakeNativeFileSystem();
    patchfile::IoError io;
    file = files->OpenRead(patch.string(), io);
    return file != nullptr && patchfile::ReadDirectory(*file, directory).ok();
}

const patchfile::PatchEntry* FindEntry(const patchfile::PatchDirectory& directory,
                                       const std::string& name) {
    for (const patchfile::PatchEntry& entry : directory.entries) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

// The predicted magic and the predictor version byte of a payload.
void ExpectPredicted(patchfile::InputFile& file, const patchfile::PatchEntry& entry,
                     unsigned version) {
    uint8_t head[13] = {};
    patchfile::IoError io;
    ASSERT_EQ(entry.method, patchfile::PayloadMethod::Blocks) << entry.name;
    ASSERT_GE(entry.payloadSize, sizeof head) << entry.name;
    ASSERT_TRUE(file.ReadAt(entry.payloadOffset, head, sizeof head, io)) << entry.name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(head), 4), "QBLP") << entry.name;
    EXPECT_EQ(head[12], version) << entry.name;
}

// GoogleTest's name of a case: letters, digits and underscores.
std::string CaseName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class GoldenDecode : public ::testing::TestWithParam<std::string> {
protected:
    fs::path set() const { return kGoldenRoot / "decode" / GetParam(); }
};

// The patch file is still what the set says it covers: were it replaced by one of another
// version or method, the set would silently stop guarding its case.
TEST_P(GoldenDecode, HoldsWhatItsManifestSaysItCovers) {
    const Manifest manifest = ManifestOf(set());
    std::unique_ptr<patchfile::InputFile> file;
    patchfile::PatchDirectory directory;
    ASSERT_TRUE(ReadPatchDirectory(set() / kPatchName, file, directory));
    EXPECT_EQ(directory.version, manifest.formatVersion);
    for (const patchfile::PatchEntry& entry : directory.entries) {
        if (entry.kind == patchfile::EntryKind::Delete)
            continue;
        const std::string method = patchfile::PayloadMethodName(entry.method);
        EXPECT_NE(std::find(manifest.methods.begin(), manifest.methods.end(), method),
                  manifest.methods.end())
            << entry.name << " uses " << method;
    }
    for (const PredictedEntry& predicted : manifest.predicted) {
        const patchfile::PatchEntry* entry = FindEntry(directory, predicted.name);
        ASSERT_NE(entry, nullptr) << predicted.name;
        ExpectPredicted(*file, *entry, predicted.predictorVersion);
    }
}

TEST_P(GoldenDecode, GivesExactlyTheListedFiles) {
    const Manifest manifest = ManifestOf(set());
    ASSERT_TRUE(manifest.refusal.empty());
    Tree folder;
    const Applied applied = ApplyToCopy(set() / kPatchName, set() / "old", folder);
    ASSERT_TRUE(applied.done) << "event " << applied.lastEvent << ": " << applied.lastText;

    std::set<std::string> listed;
    for (const ExpectedFile& expected : manifest.files) {
        listed.insert(expected.name);
        const auto found = folder.find(expected.name);
        ASSERT_NE(found, folder.end()) << expected.name << " is missing";
        EXPECT_EQ(found->second.size(), expected.size) << expected.name;
        EXPECT_EQ(ZlibCrc(found->second), expected.crc) << expected.name;
    }
    for (const std::string& gone : manifest.gone)
        EXPECT_EQ(folder.count(gone), 0u) << gone << " was not deleted";
    for (const auto& [name, contents] : folder)
        EXPECT_EQ(listed.count(name), 1u) << name << " is not in the manifest";
}

INSTANTIATE_TEST_SUITE_P(Sets, GoldenDecode, ::testing::ValuesIn(SetNames("decode")), CaseName);

class GoldenRefusal : public ::testing::TestWithParam<std::string> {
protected:
    fs::path set() const { return kGoldenRoot / "errors" / GetParam(); }
};

TEST_P(GoldenRefusal, IsRefusedWithItsErrorAndChangesNothing) {
    const Manifest manifest = ManifestOf(set());
    ASSERT_FALSE(manifest.refusal.empty());
    ASSERT_FALSE(manifest.oldSet.empty());
    const fs::path oldFolder = kGoldenRoot / "decode" / manifest.oldSet / "old";
    Tree folder;
    const Applied applied = ApplyToCopy(set() / kPatchName, oldFolder, folder);
    EXPECT_TRUE(applied.damaged) << "event " << applied.lastEvent << ": " << applied.lastText;
    EXPECT_EQ(applied.lastEvent, patchfile::kEventDamaged);
    // Each format error has its own wording, which the event's text begins with.
    const std::string reason = patchfile::DescribeFormatError(FormatErrorNamed(manifest.refusal));
    EXPECT_EQ(applied.lastText.rfind(reason, 0), 0u) << applied.lastText;
    EXPECT_EQ(folder, patchfile::testing::ReadTree(oldFolder))
        << "a file changed or was left behind";
}

INSTANTIATE_TEST_SUITE_P(Sets, GoldenRefusal, ::testing::ValuesIn(SetNames("errors")), CaseName);

// Every case stays guarded: a set removed, or never added for a new version, shows here.
TEST(GoldenSets, CoverEveryFormatMethodCoderAndPredictorVersion) {
    std::set<std::string> covered;
    for (const std::string& name : SetNames("decode")) {
        const Manifest manifest = ManifestOf(kGoldenRoot / "decode" / name);
        covered.insert("format " + std::to_string(manifest.formatVersion));
        for (const std::string& method : manifest.methods)
            covered.insert("method " + method);
        for (const std::string& coder : manifest.coders)
            covered.insert("coder " + coder);
        for (const PredictedEntry& predicted : manifest.predicted)
            covered.insert("predictor " + std::to_string(predicted.predictorVersion));
        if (!manifest.gone.empty())
            covered.insert("delete");
    }
    for (const char* needed : {"format 1", "format 2", "method deflate", "method blocks",
                               "method recoded", "coder store", "coder deflate", "coder zstd",
                               "coder xz", "predictor 1", "predictor 2", "delete"})
        EXPECT_EQ(covered.count(needed), 1u) << "no golden set covers " << needed;
}

} // namespace
} // namespace golden
