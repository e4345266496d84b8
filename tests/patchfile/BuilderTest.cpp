// The builder refuses trees it cannot describe, with a message naming the problem, and
// leaves no patch file behind.
#include "PatchBuilder.h"
#include "TestTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

// The builder's message for these trees; empty when it built the patch. A failed build must
// leave neither the patch file nor its temporary file.
std::string BuildError(const testing::Tree& oldTree, const testing::Tree& newTree,
                       bool withDeletes) {
    testing::TempFolder temp;
    testing::WriteTree(temp.Sub("old"), oldTree);
    testing::WriteTree(temp.Sub("new"), newTree);
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildOptions options;
    options.withDeletes = withDeletes;
    BuildSummary summary;
    std::string error;
    if (BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(),
                   temp.Sub("out.rtp").string(), options, nullptr, summary, error))
        return {};
    EXPECT_FALSE(fs::exists(temp.Sub("out.rtp")));
    EXPECT_FALSE(fs::exists(temp.Sub("out.rtp.fp~")));
    return error.empty() ? "failed without a message" : error;
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
    testing::TempFolder temp;
    testing::WriteTree(temp.Sub("old"), {{"same.txt", "s"}, {"changed.txt", "1"}, {"gone", "g"}});
    testing::WriteTree(temp.Sub("new"), {{"same.txt", "s"}, {"changed.txt", "2"}, {"new", "n"}});
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildOptions options;
    options.withDeletes = true;
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(),
                           temp.Sub("out.rtp").string(), options, nullptr, summary, error))
        << error;
    EXPECT_EQ(summary.patched, 1u);
    EXPECT_EQ(summary.added, 1u);
    EXPECT_EQ(summary.deleted, 1u);
    EXPECT_EQ(summary.patchFileSize, fs::file_size(temp.Sub("out.rtp")));
}

} // namespace
} // namespace patchfile
