// The Win32 file system tells a path that is not there from one it cannot look at (here a path
// past MAX_PATH, which the ANSI calls refuse): only the first counts as missing, and a file
// that cannot be looked at is never taken for one already gone.
#include "FileSystem.h"
#include "SystemMessage.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace patchfile {
namespace {

enum class Placed { Nothing, NothingInAMissingFolder, File, FilePastMaxPath, NothingPastMaxPath };

struct LookCase {
    const char* name;
    Placed placed;
    bool tells; // the system can say what is there
    PathKind kind;
};

const LookCase kLookCases[] = {
    {"MissingFile", Placed::Nothing, true, PathKind::Missing},
    {"MissingFolderOnTheWay", Placed::NothingInAMissingFolder, true, PathKind::Missing},
    {"File", Placed::File, true, PathKind::File},
    {"FilePastMaxPath", Placed::FilePastMaxPath, false, PathKind::Missing},
    {"NothingPastMaxPath", Placed::NothingPastMaxPath, false, PathKind::Missing},
};

class Win32Look : public ::testing::TestWithParam<LookCase> {
protected:
    void SetUp() override {
        source_ = temp_.str() + "\\source.txt";
        ASSERT_TRUE(WriteSource());
        path_ = PathFor(GetParam().placed);
        // CopyFileA writes past MAX_PATH, where the other ANSI calls refuse the name.
        if (GetParam().placed == Placed::File || GetParam().placed == Placed::FilePastMaxPath) {
            ASSERT_TRUE(CopyFileA(source_.c_str(), path_.c_str(), FALSE)) << GetLastError();
        }
    }

    bool WriteSource() const {
        HANDLE file = CreateFileA(source_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, "content", 7, &written, nullptr);
        CloseHandle(file);
        return ok;
    }

    // Folders of 20 characters below the temporary folder until the next name passes
    // MAX_PATH.
    std::string LongFolder() const {
        std::string folder = temp_.str() + "\\";
        while (folder.size() < MAX_PATH - 20) {
            folder += std::string(20, 'd') + "\\";
            CreateDirectoryA(folder.c_str(), nullptr);
        }
        return folder;
    }

    std::string PathFor(Placed placed) const {
        switch (placed) {
        case Placed::Nothing:
            return temp_.str() + "\\absent.txt";
        case Placed::NothingInAMissingFolder:
            return temp_.str() + "\\absent\\absent.txt";
        case Placed::File:
            return temp_.str() + "\\present.txt";
        case Placed::FilePastMaxPath:
        case Placed::NothingPastMaxPath:
            break;
        }
        return LongFolder() + std::string(40, 'n') + ".txt";
    }

    // The file is still there when a copy that must not replace it finds it. (A copy from a
    // path past MAX_PATH is refused, a copy to one is not.)
    bool StillThere() const {
        return !CopyFileA(source_.c_str(), path_.c_str(), TRUE) &&
               GetLastError() == ERROR_FILE_EXISTS;
    }

    void ExpectTheSystemsReason(const IoError& error) const {
        EXPECT_EQ(error.kind, IoError::Kind::Other);
        ASSERT_FALSE(error.systemText.empty());
        EXPECT_EQ(quill::SystemMessage(ERROR_FILENAME_EXCED_RANGE).rfind(error.systemText, 0), 0u)
            << error.systemText;
    }

    testing::TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
    std::string source_;
    std::string path_;
};

TEST_P(Win32Look, KindSaysMissingOnlyWhenTheSystemDoes) {
    PathKind kind = PathKind::Folder;
    IoError error;
    EXPECT_EQ(fs_->Kind(path_, kind, error), GetParam().tells);
    if (GetParam().tells)
        EXPECT_EQ(kind, GetParam().kind);
    else
        ExpectTheSystemsReason(error);
}

TEST_P(Win32Look, RemoveFileSucceedsOnlyWhenTheFileIsGone) {
    IoError error;
    EXPECT_EQ(fs_->RemoveFile(path_, error), GetParam().tells);
    if (!GetParam().tells)
        ExpectTheSystemsReason(error);
    EXPECT_EQ(StillThere(), GetParam().placed == Placed::FilePastMaxPath);
}

INSTANTIATE_TEST_SUITE_P(Paths, Win32Look, ::testing::ValuesIn(kLookCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace patchfile
