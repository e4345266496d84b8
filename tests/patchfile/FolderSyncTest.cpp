// The folder sync after a rename in the native file system, with failures planted in the
// system call itself: this program is linked with --wrap=fsync, so every fsync of the code
// under test comes here first.
#include "EventRecorder.h"
#include "PatchApplier.h"
#include "PatchBuilder.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

extern "C" int __real_fsync(int fd);

namespace {

// The error a folder's sync fails with; 0: it goes through to the system.
int g_plantedFolderSyncError = 0;
int g_folderSyncs = 0;

bool IsFolder(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

extern "C" int __wrap_fsync(int fd) {
    if (IsFolder(fd)) {
        ++g_folderSyncs;
        if (g_plantedFolderSyncError != 0) {
            errno = g_plantedFolderSyncError;
            return -1;
        }
    }
    return __real_fsync(fd);
}

namespace patchfile {
namespace {

struct SyncCase {
    const char* name;
    int plantedError;
    bool replaced;
};

const SyncCase kSyncCases[] = {
    {"Synced", 0, true},
    {"InputOutputError", EIO, false},
    {"NoSpace", ENOSPC, false},
    // A file system that cannot sync a folder at all: nothing more can be done.
    {"FolderSyncUnsupported", EINVAL, true},
};

class FolderSyncTest : public ::testing::Test {
protected:
    void SetUp() override { g_folderSyncs = 0; }
    void TearDown() override { g_plantedFolderSyncError = 0; }

    testing::TempFolder temp_;
    std::unique_ptr<FileSystem> files_ = MakeNativeFileSystem();
};

class FolderSyncErrorTest : public FolderSyncTest,
                            public ::testing::WithParamInterface<SyncCase> {};

TEST_P(FolderSyncErrorTest, RenameIsFollowedByASyncOfItsFolder) {
    const SyncCase& sync = GetParam();
    testing::WriteTree(temp_.path(), {{"new.tmp", "new"}, {"file", "old"}});
    g_plantedFolderSyncError = sync.plantedError;

    IoError error;
    bool replaced =
        files_->Replace(temp_.Sub("new.tmp").string(), temp_.Sub("file").string(), error);

    EXPECT_EQ(replaced, sync.replaced);
    EXPECT_EQ(g_folderSyncs, 1);
    if (!sync.replaced) {
        EXPECT_EQ(error.systemText, std::strerror(sync.plantedError));
    }
    // The rename itself went through: the file is new, never half of anything.
    EXPECT_EQ(testing::ReadTree(temp_.path()), (testing::Tree{{"file", "new"}}));
}

INSTANTIATE_TEST_SUITE_P(Errors, FolderSyncErrorTest, ::testing::ValuesIn(kSyncCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FolderSyncTest, FailedSyncStopsTheApplyAndARerunCompletes) {
    const std::string old = testing::RandomBytes(20000, 3);
    const std::string changed = old.substr(0, 9000) + "an edit" + old.substr(9000);
    testing::WriteTree(temp_.Sub("old"), {{"a.pak", old}, {"b.pak", old}});
    testing::WriteTree(temp_.Sub("new"), {{"a.pak", changed}, {"b.pak", changed}});
    BuildSummary summary;
    std::string buildError;
    ASSERT_TRUE(BuildPatch(*files_, temp_.Sub("old").string(), temp_.Sub("new").string(),
                           temp_.Sub("p.rtp").string(), {}, nullptr, summary, buildError))
        << buildError;
    const std::filesystem::path game = temp_.Sub("game");
    testing::CopyTree(temp_.Sub("old"), game);

    g_plantedFolderSyncError = EIO;
    testing::EventRecorder failing;
    PatchApplier first(*files_, failing, nullptr);
    EXPECT_EQ(first.Apply(temp_.Sub("p.rtp").string(), game.string()), Outcome::Failed);
    EXPECT_EQ(first.status().text(), std::string("cannot replace a.pak: ") + std::strerror(EIO));
    // The first file is new, its temporary file gone; the second was not touched.
    EXPECT_EQ(testing::ReadTree(game), (testing::Tree{{"a.pak", changed}, {"b.pak", old}}));

    g_plantedFolderSyncError = 0;
    testing::EventRecorder rerun;
    PatchApplier second(*files_, rerun, nullptr);
    EXPECT_EQ(second.Apply(temp_.Sub("p.rtp").string(), game.string()), Outcome::Done);
    EXPECT_EQ(testing::ReadTree(game), (testing::Tree{{"a.pak", changed}, {"b.pak", changed}}));
}

} // namespace
} // namespace patchfile
