// A disk that fills up while a result is written: with-small-disk.sh mounts a 1 MiB file
// system and names it in QUILL_SMALL_DISK; without it the test is skipped.
#include "EventRecorder.h"
#include "PatchApplier.h"
#include "PatchBuilder.h"
#include "TestTree.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

TEST(SmallDisk, FullDiskIsReportedAndTheFileKeptOld) {
    const char* mount = std::getenv("QUILL_SMALL_DISK");
    if (!mount)
        GTEST_SKIP() << "QUILL_SMALL_DISK is not set";
    testing::TempFolder temp;
    std::string old = testing::RandomBytes(600 << 10, 8);
    testing::WriteTree(temp.Sub("old"), {{"big.pak", old}});
    testing::WriteTree(temp.Sub("new"), {{"big.pak", old + old}});
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(),
                           temp.Sub("big.rtp").string(), {}, nullptr, summary, error))
        << error;
    fs::path game = fs::path(mount) / "game";
    testing::WriteTree(game, {{"big.pak", old}});

    testing::EventRecorder recorder;
    PatchApplier applier(*files, recorder, nullptr);
    EXPECT_EQ(applier.Apply(temp.Sub("big.rtp").string(), game.string()), Outcome::Failed);
    EXPECT_EQ(applier.status().text(), "cannot write big.pak: the disk is full");
    EXPECT_EQ(testing::ReadTree(game), (testing::Tree{{"big.pak", old}}));
    fs::remove_all(game);
}

} // namespace
} // namespace patchfile
