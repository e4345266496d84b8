// Recoded entries through the engine on real folders: the builder chooses the method for a
// file of deflate streams, the engine rebuilds it exactly with its scratch files on the disk,
// a stop anywhere leaves the file old or new and no scratch file behind, and a hostile
// payload is damage.
#include "Crc32.h"
#include "EventRecorder.h"
#include "MemorySource.h"
#include "PatchApplier.h"
#include "PatchAssembler.h"
#include "PatchBuilder.h"
#include "RecodeEncoder.h"
#include "SteppingClock.h"
#include "TablesReader.h"
#include "TablesWriter.h"
#include "TemporaryName.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

using testing::EventRecorder;
using testing::Tree;

std::string Text(uint32_t seed, size_t lines) {
    std::string text;
    for (size_t i = 0; i < lines; ++i)
        text += "line " + std::to_string(i * seed % 9973) + " of the manual, part " +
                std::to_string(i % 17) + "\n";
    return text;
}

std::string AsString(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A pack of two zlib streams between plain bytes; the new one has a line changed in each.
std::string Pack(const std::string& a, const std::string& b) {
    return "PACK" + AsString(testing::Deflate(a)) + "index" + AsString(testing::Deflate(b)) + "END";
}

Tree OldFiles() {
    return {{"data\\manual.pak", Pack(Text(3, 4000), Text(5, 3000))}, {"readme.txt", "old\n"}};
}

Tree NewFiles() {
    std::string a = Text(3, 4000), b = Text(5, 3000);
    a.replace(20000, 4, "LINE");
    b.insert(1000, "an inserted line\n");
    return {{"data\\manual.pak", Pack(a, b)}, {"readme.txt", "new\n"}};
}

class RecodedEntry : public ::testing::Test {
protected:
    void SetUp() override {
        testing::WriteTree(temp_.Sub("old"), OldFiles());
        testing::WriteTree(temp_.Sub("new"), NewFiles());
        testing::CopyTree(temp_.Sub("old"), game_);
        BuildOptions options;
        BuildSummary summary;
        std::string error;
        ASSERT_TRUE(BuildPatch(*fs_, temp_.Sub("old").string(), temp_.Sub("new").string(),
                               patch_.string(), options, nullptr, summary, error))
            << error;
    }

    Outcome Apply(EventRecorder& recorder, Clock& clock) {
        PatchApplier applier(*fs_, recorder, nullptr, clock);
        Outcome outcome = applier.Apply(patch_.string(), game_.string());
        text_ = applier.status().text();
        return outcome;
    }

    std::vector<uint8_t> PatchBytes() {
        std::ifstream in(patch_, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    testing::TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
    fs::path game_ = temp_.Sub("game");
    fs::path patch_ = temp_.Sub("Patch1.rtp");
    std::string text_;
};

TEST_F(RecodedEntry, IsChosenForAFileOfStreamsAndGivesTheNewFile) {
    std::vector<uint8_t> patch = PatchBytes();
    size_t pakEntry = 0;
    EXPECT_EQ(patch[testing::EntryOffset(patch, pakEntry) + 1],
              static_cast<uint8_t>(PayloadMethod::Recoded));
    EventRecorder recorder;
    testing::SteppingClock clock(std::chrono::microseconds(100));
    ASSERT_EQ(Apply(recorder, clock), Outcome::Done) << text_;
    EXPECT_EQ(testing::ReadTree(game_), NewFiles());
}

// A killed run's temporary and scratch files cannot be told from a player's files of those
// names: they stay, and the run takes the next free names.
TEST_F(RecodedEntry, FilesNamedLikeScratchFilesAreLeftAlone) {
    std::string target = (game_ / "data" / "manual.pak").string();
    Tree expected = NewFiles();
    for (unsigned number = 1; number <= 3; ++number) {
        std::string name = quill::TemporaryNameBeside(target, number);
        testing::WriteFile(name, "left over");
        expected["data\\" + fs::path(name).filename().string()] = "left over";
    }
    EventRecorder recorder;
    testing::SteppingClock clock;
    ASSERT_EQ(Apply(recorder, clock), Outcome::Done) << text_;
    EXPECT_EQ(testing::ReadTree(game_), expected);
}

// Stopped at every tenth idle event of the run: the file is old or new, nothing is left.
TEST_F(RecodedEntry, AStopAnywhereLeavesTheFileOldOrNew) {
    EventRecorder full;
    testing::SteppingClock rehearsal(std::chrono::microseconds(1000));
    fs::path copy = temp_.Sub("rehearsal");
    testing::CopyTree(game_, copy);
    PatchApplier(*fs_, full, nullptr, rehearsal).Apply(patch_.string(), copy.string());
    size_t idles = full.Count(21);
    ASSERT_GT(idles, 10u);
    for (size_t stopAt = 1; stopAt <= idles; stopAt += idles / 10) {
        fs::remove_all(game_);
        testing::CopyTree(temp_.Sub("old"), game_);
        EventRecorder recorder(21, stopAt);
        testing::SteppingClock clock(std::chrono::microseconds(1000));
        EXPECT_EQ(Apply(recorder, clock), Outcome::Stopped) << stopAt;
        Tree tree = testing::ReadTree(game_);
        ASSERT_EQ(tree.size(), 2u) << "a temporary or scratch file is left";
        std::string pak = tree["data\\manual.pak"];
        EXPECT_TRUE(pak == OldFiles()["data\\manual.pak"] || pak == NewFiles()["data\\manual.pak"]);
    }
}

// The old file's first stream said to hold a byte more than it does: event 14, file old.
TEST_F(RecodedEntry, AStreamThatClaimsMoreThanItHoldsIsDamage) {
    std::string oldPak = OldFiles()["data\\manual.pak"], newPak = NewFiles()["data\\manual.pak"];
    std::vector<uint8_t> oldBytes(oldPak.begin(), oldPak.end()),
        newBytes(newPak.begin(), newPak.end());
    std::vector<uint8_t> payload;
    blockdiff::Failure failure;
    ASSERT_EQ(recode::EncodeRecoded(oldBytes, newBytes, payload, {}, nullptr, nullptr, failure),
              recode::Encoded::Ok);
    plumbing::MemorySource source(payload.data(), payload.size());
    recode::StreamTables tables;
    recode::Failure read;
    ASSERT_TRUE(recode::ReadTables(source, oldBytes.size(), newBytes.size(), tables, read));
    tables.old.streams[0].contentBytes++;
    std::vector<uint8_t> hostile = recode::WriteTables(tables);
    hostile.insert(hostile.end(), payload.begin() + tables.deltaOffset, payload.end());

    testing::AssembledEntry entry;
    entry.entry.kind = EntryKind::Patch;
    entry.entry.method = PayloadMethod::Recoded;
    entry.entry.name = "data\\manual.pak";
    entry.entry.sourceSize = oldBytes.size();
    entry.entry.sourceCrc = ComputeCrc32(oldBytes.data(), oldBytes.size());
    entry.entry.resultSize = newBytes.size();
    entry.entry.resultCrc = ComputeCrc32(newBytes.data(), newBytes.size());
    entry.payload = hostile;
    std::vector<uint8_t> patch = testing::AssemblePatch({}, {entry});
    std::ofstream(patch_, std::ios::binary)
        .write(reinterpret_cast<const char*>(patch.data()),
               static_cast<std::streamsize>(patch.size()));
    EventRecorder recorder;
    testing::SteppingClock clock;
    EXPECT_EQ(Apply(recorder, clock), Outcome::Damaged) << text_;
    EXPECT_EQ(recorder.Count(14), 1u);
    EXPECT_EQ(testing::ReadTree(game_), OldFiles());
}

} // namespace
} // namespace patchfile
