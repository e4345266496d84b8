// The builder refuses trees it cannot describe, with a message naming the problem, and
// leaves no patch file behind.
#include "DirectoryReader.h"
#include "PatchBuilder.h"
#include "SampleTrees.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

// A build of out.rtp from these trees, written as old/ and new/ in a folder of its own.
struct TreeBuild {
    TreeBuild(const testing::Tree& oldTree, const testing::Tree& newTree, bool withDeletes) {
        testing::WriteTree(temp.Sub("old"), oldTree);
        testing::WriteTree(temp.Sub("new"), newTree);
        std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
        BuildOptions options;
        options.withDeletes = withDeletes;
        built = BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(),
                           temp.Sub("out.rtp").string(), options, nullptr, summary, error);
    }

    testing::TempFolder temp;
    BuildSummary summary;
    std::string error;
    bool built = false;
};

// The builder's message for these trees; empty when it built the patch. A failed build must
// leave neither the patch file nor its temporary file.
std::string BuildError(const testing::Tree& oldTree, const testing::Tree& newTree,
                       bool withDeletes) {
    const TreeBuild build(oldTree, newTree, withDeletes);
    if (build.built)
        return {};
    EXPECT_FALSE(fs::exists(build.temp.Sub("out.rtp")));
    EXPECT_FALSE(fs::exists(build.temp.Sub("out.rtp.fp~")));
    return build.error.empty() ? "failed without a message" : build.error;
}

struct BadTreeCase {
    const char* name;
    testing::Tree oldTree;
    testing::Tree newTree;
    bool withDeletes;
    const char* message;
};

class BuilderRefuses : public ::testing::TestWithParam<BadTreeCase> {};

TEST_P(BuilderRefuses, WithAClearMessage) {
    std::string error = BuildError(GetParam().oldTree, GetParam().newTree, GetParam().withDeletes);
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, BuilderRefuses,
                         ::testing::Values(BadTreeCase{"TemporarySuffix",
                                                       {},
                                                       {{"maps.pak.fp~", "x"}},
                                                       false,
                                                       "cannot put maps.pak.fp~"},
                                           BadTreeCase{"FolderBecomesFile",
                                                       {{"data\\a.pak", "x"}},
                                                       {{"data", "x"}},
                                                       true,
                                                       "data is a folder in"},
                                           BadTreeCase{"FileBecomesFolderWithoutDeletes",
                                                       {{"data", "x"}},
                                                       {{"data\\a.pak", "x"}},
                                                       false,
                                                       "data is a file in"}),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32 // names Windows cannot hold
TEST(BuilderRefuses, DeviceName) {
    std::string error = BuildError({}, {{"data\\aux.txt", "x"}}, false);
    EXPECT_NE(error.find("cannot put data\\aux.txt"), std::string::npos) << error;
}

TEST(BuilderRefuses, NameWithAQuestionMark) {
    std::string error = BuildError({{"what?.txt", "x"}}, {}, false);
    EXPECT_NE(error.find("invalid file name"), std::string::npos) << error;
}

TEST(BuilderRefuses, NamesThatDifferOnlyInCase) {
    std::string error = BuildError({}, {{"Readme.txt", "a"}, {"README.TXT", "b"}}, false);
    EXPECT_NE(error.find("differ only in case"), std::string::npos) << error;
}
#endif

TEST(BuilderRefuses, MissingOldFolder) {
    testing::TempFolder temp;
    testing::WriteTree(temp.Sub("new"), {{"a.txt", "a"}});
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildSummary summary;
    std::string error;
    EXPECT_FALSE(BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(),
                            temp.Sub("out.rtp").string(), {}, nullptr, summary, error));
    EXPECT_EQ(error, "the folder " + temp.Sub("old").string() + " was not found");
}

TEST(Builder, CountsItsEntriesAndSkipsUnchangedFiles) {
    const TreeBuild build({{"same.txt", "s"}, {"changed.txt", "1"}, {"gone", "g"}},
                          {{"same.txt", "s"}, {"changed.txt", "2"}, {"new", "n"}}, true);
    ASSERT_TRUE(build.built) << build.error;
    EXPECT_EQ(build.summary.patched, 1u);
    EXPECT_EQ(build.summary.added, 1u);
    EXPECT_EQ(build.summary.deleted, 1u);
    EXPECT_EQ(build.summary.patchFileSize, fs::file_size(build.temp.Sub("out.rtp")));
}

// The directory of a patch built from the sample trees with this method (unset: the builder
// picks per entry); no scratch file may be left beside it.
PatchDirectory BuildSample(const testing::TempFolder& temp, std::optional<PayloadMethod> method) {
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildOptions options;
    options.withDeletes = true;
    options.method = method;
    BuildSummary summary;
    std::string error;
    std::string output = temp.Sub("out.rtp").string();
    PatchDirectory directory;
    EXPECT_TRUE(BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(), output,
                           options, nullptr, summary, error))
        << error;
    for (const char* scratch : {"out.rtp.fp~", "out.rtp.fp~0", "out.rtp.fp~1", "out.rtp.fp~2"})
        EXPECT_FALSE(fs::exists(temp.Sub(scratch))) << scratch;
    IoError io;
    std::unique_ptr<InputFile> patch = files->OpenRead(output, io);
    EXPECT_TRUE(patch && ReadDirectory(*patch, directory).ok());
    return directory;
}

TEST(Builder, KeepsTheSmallerPayloadOfEachEntry) {
    testing::TempFolder temp;
    testing::Tree oldTree = testing::OldTree(), newTree = testing::NewTree();
    // Moved code: every 40th byte changes, which blocks code as one cover and sparse
    // differences, while the sample trees' edits suit VCDIFF better.
    std::string code = testing::RandomBytes(200000, 7);
    oldTree["game.exe"] = code;
    for (size_t i = 0; i < code.size(); i += 40)
        code[i] = static_cast<char>(code[i] + 1);
    newTree["game.exe"] = code;
    testing::WriteTree(temp.Sub("old"), oldTree);
    testing::WriteTree(temp.Sub("new"), newTree);
    PatchDirectory zlib = BuildSample(temp, PayloadMethod::Deflate);
    PatchDirectory blocks = BuildSample(temp, PayloadMethod::Blocks);
    PatchDirectory smaller = BuildSample(temp, std::nullopt);
    ASSERT_EQ(smaller.entries.size(), zlib.entries.size());
    ASSERT_EQ(smaller.entries.size(), blocks.entries.size());
    std::set<PayloadMethod> chosen;
    for (size_t i = 0; i < smaller.entries.size(); ++i) {
        const PatchEntry& entry = smaller.entries[i];
        if (entry.kind == EntryKind::Delete)
            continue;
        bool blocksSmaller = blocks.entries[i].payloadSize < zlib.entries[i].payloadSize;
        const PatchEntry& expected = blocksSmaller ? blocks.entries[i] : zlib.entries[i];
        EXPECT_EQ(entry.method, expected.method) << entry.name;
        EXPECT_EQ(entry.payloadSize, expected.payloadSize) << entry.name;
        EXPECT_EQ(entry.payloadCrc, expected.payloadCrc) << entry.name;
        EXPECT_EQ(entry.sourceCrc, zlib.entries[i].sourceCrc) << entry.name;
        chosen.insert(entry.method);
    }
    // Each method wins somewhere, so both choices are exercised.
    EXPECT_EQ(chosen.size(), 2u);
}

} // namespace
} // namespace patchfile
