// The apply engine on real folders: whole-tree round trips with the builder, the order of
// events, stops and failures that must leave every file old or new, and damaged patches.
#include "EntryEvents.h"
#include "PatchApplier.h"
#include "PatchBuilder.h"
#include "SteppingClock.h"
#include "TemporaryName.h"
#include "TestTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

using testing::EventRecorder;
using testing::RecordedEvent;
using testing::TempFolder;
using testing::Tree;

using testing::Edited;
using testing::NewTree;
using testing::OldTree;

class ApplyEngine : public ::testing::Test {
protected:
    void SetUp() override {
        testing::WriteTree(temp_.Sub("old"), OldTree());
        testing::WriteTree(temp_.Sub("new"), NewTree());
        Build(true);
        testing::CopyTree(temp_.Sub("old"), game_);
    }

    void Build(bool withDeletes) {
        BuildOptions options;
        options.withDeletes = withDeletes;
        BuildSummary summary;
        std::string error;
        ASSERT_TRUE(BuildPatch(*fs_, temp_.Sub("old").string(), temp_.Sub("new").string(),
                               patch_.string(), options, nullptr, summary, error))
            << error;
    }

    Outcome Apply(EventRecorder& recorder, Clock& clock = SteadyClock()) {
        PatchApplier applier(*fs_, recorder, nullptr, clock);
        Outcome outcome = applier.Apply(patch_.string(), game_.string());
        text_ = applier.status().text();
        return outcome;
    }

    // Every file is either as it was or as it should become, and no temporary file is left.
    void ExpectEachFileOldOrNew() { EXPECT_EQ(testing::FilesNeitherOldNorNew(game_), ""); }

    TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
    fs::path game_ = temp_.Sub("game");
    fs::path patch_ = temp_.Sub("Patch1.rtp");
    std::string text_;
};

TEST_F(ApplyEngine, GivesExactlyTheNewTree) {
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Done) << text_;
    EXPECT_EQ(testing::ReadTree(game_), NewTree());
    EXPECT_FALSE(fs::exists(game_ / "old")) << "a folder the deletes emptied is left";
}

TEST_F(ApplyEngine, WithoutDeletesKeepsFilesOnlyTheOldTreeHas) {
    Build(false);
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Done) << text_;
    Tree expected = NewTree();
    expected["old\\removed.txt"] = OldTree()["old\\removed.txt"];
    EXPECT_EQ(testing::ReadTree(game_), expected);
}

// Per entry: patch 7, 3, 5 rising from 0 to full; add 3, 5 rising; delete 3. Between two
// progress events of a file there is always an idle event.
TEST_F(ApplyEngine, ReportsEachEntryInOrder) {
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Done) << text_;
    EXPECT_EQ(testing::CheckEntryEvents(recorder.events(), testing::SampleEntries()), "");
}

TEST(ApplyLargeFile, SendsProgressAboutAHundredTimes) {
    TempFolder temp;
    std::string old = testing::RandomBytes(4 << 20, 5);
    testing::WriteTree(temp.Sub("old"), {{"big.pak", old}});
    testing::WriteTree(temp.Sub("new"), {{"big.pak", Edited(old)}});
    testing::WriteTree(temp.Sub("game"), {{"big.pak", old}});
    std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildPatch(*fs, temp.Sub("old").string(), temp.Sub("new").string(),
                           temp.Sub("big.rtp").string(), {}, nullptr, summary, error))
        << error;
    EventRecorder recorder;
    PatchApplier applier(*fs, recorder, nullptr);
    ASSERT_EQ(applier.Apply(temp.Sub("big.rtp").string(), temp.Sub("game").string()),
              Outcome::Done);
    EXPECT_EQ(testing::ReadFile(temp.Sub("game") / "big.pak"), Edited(old));
    EXPECT_GE(recorder.Count(kEventProgress), 50u);
    EXPECT_LE(recorder.Count(kEventProgress), 102u);
}

// Targets whose path is as long as the ANSI file API takes (MAX_PATH less its terminating
// zero), one patched and one added: their temporary files' names are no longer than their own,
// so they are written wherever the targets can be.
TEST(ApplyLongPath, TargetsOfTheLongestPathAreWritten) {
    constexpr size_t kLongestPath = 259;
    TempFolder temp;
    const fs::path game = temp.Sub("game");
    const size_t leafLength = kLongestPath - game.string().size() - 1;
    const std::string patched(leafLength, 'p'), added(leafLength, 'a');
    const std::string old = testing::RandomBytes(300000, 6);
    testing::WriteTree(temp.Sub("old"), {{patched, old}});
    testing::WriteTree(temp.Sub("new"), {{patched, Edited(old)}, {added, "added"}});
    testing::WriteTree(game, {{patched, old}});
    std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    ASSERT_EQ(fs->Join(game.string(), patched).size(), kLongestPath);
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildPatch(*fs, temp.Sub("old").string(), temp.Sub("new").string(),
                           temp.Sub("long.rtp").string(), {}, nullptr, summary, error))
        << error;
    EventRecorder recorder;
    PatchApplier applier(*fs, recorder, nullptr);
    ASSERT_EQ(applier.Apply(temp.Sub("long.rtp").string(), game.string()), Outcome::Done)
        << applier.status().text();
    EXPECT_EQ(testing::ReadTree(game), (Tree{{patched, Edited(old)}, {added, "added"}}));
}

TEST_F(ApplyEngine, ASecondApplyFindsEverythingDone) {
    EventRecorder first, second;
    ASSERT_EQ(Apply(first), Outcome::Done);
    ASSERT_EQ(Apply(second), Outcome::Done) << text_;
    EXPECT_EQ(testing::ReadTree(game_), NewTree());
}

struct StopCase {
    uint32_t event;
    int percent; // of the way through the events of that kind in a full run; 0 is the first
};

// Idle events also come when enough time has passed. Under a clock that moves by a step at
// each reading, a run sends the same events every time, so a rehearsal finds every stop point.
constexpr std::chrono::microseconds kClockStep(100);

class StopAnswer : public ApplyEngine, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopAnswer, LeavesEachFileOldOrNewAndNoTemporaryFile) {
    fs::path rehearsal = temp_.Sub("rehearsal");
    testing::CopyTree(game_, rehearsal);
    EventRecorder full;
    testing::SteppingClock rehearsalClock(kClockStep);
    PatchApplier(*fs_, full, nullptr, rehearsalClock).Apply(patch_.string(), rehearsal.string());
    size_t count = full.Count(GetParam().event);
    ASSERT_GT(count, 0u);
    size_t occurrence = 1 + (count - 1) * static_cast<size_t>(GetParam().percent) / 100;

    EventRecorder recorder(GetParam().event, occurrence);
    testing::SteppingClock clock(kClockStep);
    EXPECT_EQ(Apply(recorder, clock), Outcome::Stopped)
        << "stop at " << occurrence << " of " << count;
    EXPECT_EQ(recorder.eventsAfterStop(), 0u);
    ExpectEachFileOldOrNew();
}

std::vector<StopCase> StopCases() {
    std::vector<StopCase> cases;
    for (uint32_t event : {kEventFile, kEventMessage, kEventProgress, kEventIdle}) {
        for (int percent : {0, 20, 40, 60, 80, 100})
            cases.push_back({event, percent});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, StopAnswer, ::testing::ValuesIn(StopCases()),
                         [](const auto& info) {
                             return "Event" + std::to_string(info.param.event) + "At" +
                                    std::to_string(info.param.percent) + "Percent";
                         });

TEST_F(ApplyEngine, StopAtAFileAnnouncementChangesNothingMore) {
    EventRecorder recorder(kEventFile, 2);
    ASSERT_EQ(Apply(recorder), Outcome::Stopped);
    Tree tree = testing::ReadTree(game_);
    EXPECT_EQ(tree["data\\maps.pak"], NewTree()["data\\maps.pak"]);
    EXPECT_EQ(tree["data\\sound.pak"], OldTree()["data\\sound.pak"]);
    EXPECT_EQ(tree["readme.txt"], OldTree()["readme.txt"]);
    EXPECT_EQ(tree.count("empty.txt"), 0u);
}

TEST_F(ApplyEngine, SourceThatDoesNotMatchIsNamedAndLeftAsItIs) {
    testing::WriteFile(game_ / "data" / "sound.pak", testing::RandomBytes(5000, 77));
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    ASSERT_FALSE(recorder.events().empty());
    const RecordedEvent& last = recorder.events().back();
    EXPECT_EQ(last.event, kEventError);
    EXPECT_NE(last.text.find("data\\sound.pak does not match"), std::string::npos) << last.text;
    EXPECT_NE(last.text.find("checksum"), std::string::npos) << last.text;
    EXPECT_EQ(testing::ReadFile(game_ / "data" / "sound.pak"), testing::RandomBytes(5000, 77));
    EXPECT_EQ(testing::ReadFile(game_ / "readme.txt"), OldTree()["readme.txt"]);
}

TEST_F(ApplyEngine, SourceOfAnotherSizeIsNamedWithTheSizes) {
    testing::WriteFile(game_ / "readme.txt", "short");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_NE(text_.find("readme.txt does not match"), std::string::npos) << text_;
    EXPECT_NE(text_.find("size 5 bytes, expected 15"), std::string::npos) << text_;
}

TEST_F(ApplyEngine, MissingSourceIsNamed) {
    fs::remove(game_ / "data" / "maps.pak");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_EQ(text_, "cannot open data\\maps.pak: it does not exist");
}

TEST_F(ApplyEngine, ReadOnlyFilesAreReplaced) {
    testing::MakeReadOnly(game_ / "data" / "maps.pak");
    testing::MakeReadOnly(game_ / "readme.txt");
    testing::MakeReadOnly(game_ / "old" / "removed.txt");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Done) << text_;
    EXPECT_EQ(testing::ReadTree(game_), NewTree());
}

// Only an older library wrote "NAME.fp~", and no entry may bear such a name: what a killed run
// of it left is removed, even before the run's first file.
TEST_F(ApplyEngine, TemporaryFileOfAKilledRunOfAnOlderLibraryIsRemoved) {
    testing::WriteFile(game_ / "data" / "maps.pak.fp~", "half written by a killed run");
    testing::WriteFile(game_ / "movies" / "new" / "intro.txt.fp~", "another");
    testing::MakeReadOnly(game_ / "data" / "maps.pak.fp~");
    EventRecorder stopped(kEventFile, 1);
    Apply(stopped); // stopped before the first patched file: only the clean-up has run
    EXPECT_FALSE(fs::exists(game_ / "data" / "maps.pak.fp~"));
    EXPECT_FALSE(fs::exists(game_ / "movies" / "new" / "intro.txt.fp~"));
}

// Files named as the run's first temporary files would be, beside a patched and an added file:
// a player's, the game's, or a killed run's (which cannot be told from those). They are never
// replaced nor removed; the run writes under the next names.
TEST_F(ApplyEngine, FileNamedLikeATemporaryFileIsLeftAlone) {
    Tree taken;
    for (const char* target : {"data\\maps.pak", "movies\\new\\intro.txt"}) {
        std::string name = quill::TemporaryNameBeside(target, 1);
        taken[name] = "not the run's: " + name;
    }
    testing::WriteTree(game_, taken);
    for (const auto& [name, contents] : taken)
        testing::MakeReadOnly(testing::PathOf(game_, name));
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Done) << text_;
    Tree expected = NewTree();
    expected.insert(taken.begin(), taken.end());
    EXPECT_EQ(testing::ReadTree(game_), expected);
}

TEST_F(ApplyEngine, FolderInPlaceOfAnAddedFileIsAnError) {
    fs::create_directories(game_ / "empty.txt");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_EQ(text_, "cannot replace empty.txt: a folder is in its place");
    ExpectEachFileOldOrNew();
}

TEST_F(ApplyEngine, FolderInPlaceOfAPatchedFileIsAnError) {
    fs::remove(game_ / "readme.txt");
    fs::create_directories(game_ / "readme.txt");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_EQ(text_, "cannot open readme.txt: a folder is in its place");
}

TEST_F(ApplyEngine, FileInPlaceOfANewFolderIsAnError) {
    testing::WriteFile(game_ / "movies", "a file where a folder goes");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_NE(text_.find("cannot create the folder movies"), std::string::npos) << text_;
    EXPECT_EQ(testing::ReadFile(game_ / "movies"), "a file where a folder goes");
}

TEST_F(ApplyEngine, MissingGameFolderIsReported) {
    fs::remove_all(game_);
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_EQ(text_, "the game folder " + game_.string() + " was not found");
    ASSERT_EQ(recorder.events().back().event, kEventError);
    EXPECT_EQ(recorder.events().back().text, text_);
}

TEST_F(ApplyEngine, MissingPatchFileIsReported) {
    fs::remove(patch_);
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Failed);
    EXPECT_EQ(text_, "cannot open the patch file " + patch_.string() + ": it does not exist");
}

TEST_F(ApplyEngine, FileThatIsNotAPatchGivesEventFourteen) {
    testing::WriteFile(patch_, "MZ this is a program, not a patch");
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Damaged);
    ASSERT_EQ(recorder.events().size(), 1u);
    EXPECT_EQ(recorder.events()[0].event, kEventDamaged);
    EXPECT_EQ(recorder.events()[0].text, "not a patch file (header)");
}

// The native file system, except that putting a written file on the disk fails as it does
// when a disk fills up while its cache is written out.
class FlushFailingFileSystem : public FileSystem {
public:
    std::string Join(const std::string& folder, const std::string& name) const override {
        return real_->Join(folder, name);
    }
    bool Kind(const std::string& path, PathKind& kind, IoError& error) override {
        return real_->Kind(path, kind, error);
    }
    std::unique_ptr<InputFile> OpenRead(const std::string& path, IoError& error) override {
        return real_->OpenRead(path, error);
    }
    std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
        return FailingFlushes(real_->Create(path, error));
    }
    std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override {
        return FailingFlushes(real_->CreateNew(path, error));
    }
    bool Replace(const std::string& from, const std::string& to, IoError& error) override {
        return real_->Replace(from, to, error);
    }
    bool RemoveFile(const std::string& path, IoError& error) override {
        return real_->RemoveFile(path, error);
    }
    void RemoveFolderIfEmpty(const std::string& path) override { real_->RemoveFolderIfEmpty(path); }
    bool CreateFolder(const std::string& path, IoError& error) override {
        return real_->CreateFolder(path, error);
    }
    bool List(const std::string& folder, std::vector<FolderItem>& items, IoError& error) override {
        return real_->List(folder, items, error);
    }

private:
    class FlushFailingFile : public OutputFile {
    public:
        explicit FlushFailingFile(std::unique_ptr<OutputFile> real) : real_(std::move(real)) {}
        bool Write(const void* data, size_t length, IoError& error) override {
            return real_->Write(data, length, error);
        }
        bool WriteAt(uint64_t offset, const void* data, size_t length, IoError& error) override {
            return real_->WriteAt(offset, data, length, error);
        }
        bool Flush(IoError& error) override { return Fail(error); }
        bool Close(IoError& error) override { return Fail(error); }

    private:
        static bool Fail(IoError& error) {
            error.kind = IoError::Kind::DiskFull;
            return false;
        }
        std::unique_ptr<OutputFile> real_;
    };

    static std::unique_ptr<OutputFile> FailingFlushes(std::unique_ptr<OutputFile> file) {
        return file ? std::make_unique<FlushFailingFile>(std::move(file)) : nullptr;
    }

    std::unique_ptr<FileSystem> real_ = MakeNativeFileSystem();
};

// A large file is put on the disk in steps while it is written, not only at its end; a step
// that fails stops the file there, before its last byte is written, and leaves nothing.
TEST(ApplyLargeFile, FailureToFlushOnTheWayIsReportedAndLeavesNothing) {
    TempFolder temp;
    const std::string content(24 << 20, 'q');
    testing::WriteTree(temp.Sub("old"), {});
    testing::WriteTree(temp.Sub("new"), {{"movie.bik", content}});
    testing::WriteTree(temp.Sub("game"), {});
    std::unique_ptr<FileSystem> native = MakeNativeFileSystem();
    BuildSummary summary;
    std::string error;
    ASSERT_TRUE(BuildPatch(*native, temp.Sub("old").string(), temp.Sub("new").string(),
                           temp.Sub("big.rtp").string(), {}, nullptr, summary, error))
        << error;
    FlushFailingFileSystem failing;
    EventRecorder recorder;
    PatchApplier applier(failing, recorder, nullptr);
    ASSERT_EQ(applier.Apply(temp.Sub("big.rtp").string(), temp.Sub("game").string()),
              Outcome::Failed);
    EXPECT_EQ(applier.status().text(), "cannot write movie.bik: the disk is full");
    EXPECT_EQ(testing::ReadTree(temp.Sub("game")), Tree{});
    EXPECT_LT(recorder.Count(kEventProgress), 60u) << "the file was written to its end";
}

TEST_F(ApplyEngine, DamagedPayloadChangesNothing) {
    std::string bytes = testing::ReadFile(patch_);
    bytes[bytes.size() - 40] ^= 0x10;
    testing::WriteFile(patch_, bytes);
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), Outcome::Damaged);
    EXPECT_EQ(testing::ReadTree(game_), OldTree());
    EXPECT_EQ(recorder.Count(kEventFile), 0u);
}

// Accidental damage anywhere: the patch is refused, or (damage that changes nothing that
// matters cannot exist: every byte is covered by a checksum) gives exactly the new tree.
TEST_F(ApplyEngine, DamagedPatchFailsOrGivesExactlyTheNewTree) {
    const std::string valid = testing::ReadFile(patch_);
    const fs::path pristine = temp_.Sub("pristine");
    testing::CopyTree(game_, pristine);
    for (size_t step = 0; step < 40; ++step) {
        std::string bytes = valid;
        size_t at = (step * 7919 + step * step * 104729) % bytes.size();
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << (step % 8)));
        testing::WriteFile(patch_, bytes);
        fs::remove_all(game_);
        testing::CopyTree(pristine, game_);
        EventRecorder recorder;
        Outcome outcome = Apply(recorder);
        if (outcome == Outcome::Done)
            EXPECT_EQ(testing::ReadTree(game_), NewTree()) << "flip at " << at;
        else
            EXPECT_EQ(testing::ReadTree(game_), OldTree()) << "flip at " << at << ": " << text_;
    }
}

} // namespace
} // namespace patchfile
