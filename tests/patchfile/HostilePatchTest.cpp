// Patch files made to deceive: every checksum of the file itself is right, but what it
// claims is not. The engine must refuse them and leave the game folder as it was.
#include "Crc32.h"
#include "EventRecorder.h"
#include "PatchApplier.h"
#include "PatchAssembler.h"
#include "TestTree.h"
#include "VcdiffBytes.h"

#include <gtest/gtest.h>

namespace patchfile {
namespace {

using testing::AssembledEntry;

const std::string kOld = "the old contents of the file";

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

AssembledEntry PatchOfOld(const std::vector<uint8_t>& delta, uint64_t resultSize,
                          uint32_t resultCrc) {
    AssembledEntry assembled;
    assembled.entry.kind = EntryKind::Patch;
    assembled.entry.name = "data\\file.pak";
    assembled.entry.sourceSize = kOld.size();
    assembled.entry.sourceCrc = ComputeCrc32(kOld.data(), kOld.size());
    assembled.entry.resultSize = resultSize;
    assembled.entry.resultCrc = resultCrc;
    assembled.payload = testing::Deflate(Text(delta));
    return assembled;
}

AssembledEntry AddOf(const std::string& name, const std::string& contents, uint64_t resultSize,
                     uint32_t resultCrc) {
    AssembledEntry assembled;
    assembled.entry.kind = EntryKind::Add;
    assembled.entry.name = name;
    assembled.entry.resultSize = resultSize;
    assembled.entry.resultCrc = resultCrc;
    assembled.payload = testing::Deflate(contents);
    return assembled;
}

uint32_t Crc(const std::string& text) {
    return ComputeCrc32(text.data(), text.size());
}

struct HostileCase {
    const char* name;
    std::vector<AssembledEntry> (*entries)();
    FormatError expected;
};

std::vector<HostileCase> HostileCases() {
    return {
        {"ResultChecksumWrong",
         [] { return std::vector<AssembledEntry>{AddOf("new.txt", "hello", 5, Crc("hellO"))}; },
         FormatError::ResultMismatch},
        {"ResultLongerThanRecorded",
         [] { return std::vector<AssembledEntry>{AddOf("new.txt", "hello", 4, Crc("hell"))}; },
         FormatError::ResultMismatch},
        {"ResultShorterThanRecorded",
         [] { return std::vector<AssembledEntry>{AddOf("new.txt", "hello", 6, Crc("hello"))}; },
         FormatError::ResultMismatch},
        {"PayloadNotZlib",
         [] {
             auto entry = AddOf("new.txt", "", 5, Crc("hello"));
             entry.payload = {'h', 'e', 'l', 'l', 'o'};
             return std::vector<AssembledEntry>{entry};
         },
         FormatError::PayloadCorrupt},
        {"PayloadWithBytesAfterTheStream",
         [] {
             auto entry = AddOf("new.txt", "hello", 5, Crc("hello"));
             entry.payload.push_back(0);
             return std::vector<AssembledEntry>{entry};
         },
         FormatError::PayloadCorrupt},
        {"DeltaWindowBeyondTheLimit",
         [] {
             return std::vector<AssembledEntry>{
                 PatchOfOld(testing::WindowClaimingTarget(17u << 20), 17u << 20, 0)};
         },
         FormatError::WindowTooLarge},
        {"DeltaCopyingPastTheSource",
         [] {
             return std::vector<AssembledEntry>{
                 PatchOfOld(testing::CopyFromSourceDelta(kOld.size() - 3, 4), 4, 0)};
         },
         FormatError::DeltaCorrupt},
        {"DeltaThatIsNotVcdiff",
         [] {
             return std::vector<AssembledEntry>{PatchOfOld({'n', 'o', 't', ' ', 'a'}, 4, 0)};
         },
         FormatError::DeltaCorrupt},
    };
}

class HostilePatch : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostilePatch, IsRefusedAndChangesNothing) {
    testing::TempFolder temp;
    testing::Tree game = {{"data\\file.pak", kOld}};
    testing::WriteTree(temp.Sub("game"), game);
    std::vector<uint8_t> patch = testing::AssemblePatch({}, GetParam().entries());
    testing::WriteFile(temp.Sub("hostile.rtp"), Text(patch));

    std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    testing::EventRecorder recorder;
    PatchApplier applier(*fs, recorder, nullptr);
    EXPECT_EQ(applier.Apply(temp.Sub("hostile.rtp").string(), temp.Sub("game").string()),
              Outcome::Damaged);
    EXPECT_EQ(applier.status().format(), GetParam().expected) << applier.status().text();
    ASSERT_FALSE(recorder.events().empty());
    EXPECT_EQ(recorder.events().back().event, kEventDamaged);
    EXPECT_EQ(testing::ReadTree(temp.Sub("game")), game) << "a file changed or was left behind";
}

INSTANTIATE_TEST_SUITE_P(Table, HostilePatch, ::testing::ValuesIn(HostileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace patchfile
