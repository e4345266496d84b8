// The native file system's exclusive create, which the engine's temporary files rely on: it
// makes a file where nothing is, and leaves whatever is there untouched.
#include "FileSystem.h"
#include "TestTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

enum class Placed { Nothing, File, ReadOnlyFile, Folder };

struct CreateCase {
    const char* name;
    Placed placed;
};

class CreateNew : public ::testing::TestWithParam<CreateCase> {
protected:
    void Place(const fs::path& path) {
        switch (GetParam().placed) {
        case Placed::Nothing:
            break;
        case Placed::File:
            testing::WriteFile(path, "there before");
            break;
        case Placed::ReadOnlyFile:
            testing::WriteFile(path, "there before");
            testing::MakeReadOnly(path);
            break;
        case Placed::Folder:
            fs::create_directories(path / "inside");
            break;
        }
    }

    testing::TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
};

TEST_P(CreateNew, MakesAFileOnlyWhereNothingIs) {
    const fs::path path = temp_.Sub("~0000001");
    Place(path);
    const testing::Tree before = testing::ReadTree(temp_.path());
    IoError error;
    std::unique_ptr<OutputFile> file = fs_->CreateNew(path.string(), error);
    if (GetParam().placed == Placed::Nothing) {
        ASSERT_TRUE(file) << DescribeIoError(error);
        ASSERT_TRUE(file->Write("new", 3, error) && file->Close(error)) << DescribeIoError(error);
        EXPECT_EQ(testing::ReadFile(path), "new");
        return;
    }
    EXPECT_FALSE(file);
    EXPECT_EQ(error.kind, IoError::Kind::Exists) << DescribeIoError(error);
    EXPECT_EQ(testing::ReadTree(temp_.path()), before);
    EXPECT_EQ(fs::is_directory(path), GetParam().placed == Placed::Folder);
}

INSTANTIATE_TEST_SUITE_P(WhatIsThere, CreateNew,
                         ::testing::Values(CreateCase{"Nothing", Placed::Nothing},
                                           CreateCase{"File", Placed::File},
                                           CreateCase{"ReadOnlyFile", Placed::ReadOnlyFile},
                                           CreateCase{"Folder", Placed::Folder}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace patchfile
