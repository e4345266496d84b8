// fpatch32.dll as the updater uses it: this program links the import library made from
// fpatch32.def, so it imports the entry point by ordinal 1 (the DLL exports no names; an
// import by name would keep the program from starting at all).
#include <windows.h>

#include "EntryEvents.h"
#include "FpatchApply.h"
#include "PatchBuilder.h"
#include "SampleTrees.h"
#include "TemporaryName.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace patchfile {
namespace {

using testing::EventRecorder;
using testing::TempFolder;

const char kKey[] = "Software\\Corvanel\\Tessik";
const char kValue[] = "Program";

EventRecorder* g_recorder = nullptr;
int32_t g_goOn = 1;

void* __stdcall RecordEvent(uint32_t event, void* parameter) {
    g_goOn = 1;
    return g_recorder->OnEvent(event, parameter) ? &g_goOn : nullptr;
}

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

uint32_t CallLibrary(const std::string& commandLine, EventRecorder& recorder) {
    // As the updater hands it over: a writable buffer with room for 2000 characters.
    std::vector<char> buffer(FPATCH_MAX_COMMAND_LINE + 1, '\0');
    commandLine.copy(buffer.data(), FPATCH_MAX_COMMAND_LINE);
    g_recorder = &recorder;
    return FpatchApply(buffer.data(), RecordEvent, 1);
}

void SetRegistryValue(const char* name, const std::string& folder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
}

void SetRegistryFolder(const std::string& folder) {
    SetRegistryValue(kValue, folder);
}

void DeleteRegistryFolder() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

const testing::RecordedEvent& LastEvent(const EventRecorder& recorder) {
    static const testing::RecordedEvent none;
    return recorder.events().empty() ? none : recorder.events().back();
}

bool BuildFromTrees(const testing::Tree& oldTree, const testing::Tree& newTree,
                    const TempFolder& temp, const fs::path& patch) {
    testing::WriteTree(temp.Sub("old"), oldTree);
    testing::WriteTree(temp.Sub("new"), newTree);
    fs::create_directories(patch.parent_path());
    std::unique_ptr<FileSystem> files = MakeNativeFileSystem();
    BuildOptions options;
    options.withDeletes = true;
    options.locator = {kKey, kValue};
    BuildSummary summary;
    std::string error;
    bool built = BuildPatch(*files, temp.Sub("old").string(), temp.Sub("new").string(),
                            patch.string(), options, nullptr, summary, error);
    EXPECT_TRUE(built) << error;
    return built;
}

class PatchDll : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BuildFromTrees(testing::OldTree(), testing::NewTree(), temp_, patch_));
        testing::WriteTree(game_, testing::OldTree());
    }
    void TearDown() override { DeleteRegistryFolder(); }

    uint32_t Apply(EventRecorder& recorder) {
        return CallLibrary(Quoted(patch_) + " " + Quoted(game_), recorder);
    }

    TempFolder temp_;
    fs::path patch_ = temp_.Sub("patch files\\Patch1.rtp");
    fs::path game_ = temp_.Sub("Quillmere game");
};

TEST(PatchDllExports, OnlyOrdinalOne) {
    HMODULE library = GetModuleHandleA("fpatch32.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(GetProcAddress(library, MAKEINTRESOURCEA(FPATCH_APPLY_ORDINAL)), nullptr);
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(2)), nullptr);
    EXPECT_EQ(GetProcAddress(library, "FpatchApply@12"), nullptr);
    EXPECT_EQ(GetProcAddress(library, "FpatchApply"), nullptr);
    EXPECT_EQ(GetProcAddress(library, "_FpatchApply@12"), nullptr);
}

TEST_F(PatchDll, AppliesSeveralFilesInOrderToTheFolderOnTheCommandLine) {
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), static_cast<uint32_t>(FPATCH_OK)) << LastEvent(recorder).text;
    EXPECT_EQ(testing::ReadTree(game_), testing::NewTree());
    EXPECT_EQ(testing::CheckEntryEvents(recorder.events(), testing::SampleEntries()), "");
}

TEST_F(PatchDll, FindsTheFolderThroughTheRegistry) {
    SetRegistryFolder(game_.string() + "\\");
    EventRecorder recorder;
    ASSERT_EQ(CallLibrary(Quoted(patch_), recorder), static_cast<uint32_t>(FPATCH_OK))
        << LastEvent(recorder).text;
    EXPECT_EQ(testing::ReadTree(game_), testing::NewTree());
}

TEST_F(PatchDll, FolderOnTheCommandLineTakesPrecedenceOverTheRegistry) {
    SetRegistryFolder(temp_.Sub("elsewhere").string());
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), static_cast<uint32_t>(FPATCH_OK)) << LastEvent(recorder).text;
    EXPECT_EQ(testing::ReadTree(game_), testing::NewTree());
}

TEST_F(PatchDll, MissingRegistryValueIsReported) {
    EventRecorder recorder;
    EXPECT_EQ(CallLibrary(Quoted(patch_), recorder), static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).event, static_cast<uint32_t>(FPATCH_EVENT_ERROR));
    EXPECT_EQ(LastEvent(recorder).text, "the game folder was not found: the registry key "
                                        "HKEY_CURRENT_USER\\Software\\Corvanel\\Tessik is missing");
    SetRegistryValue("Fmv", "D:\\"); // the key exists, the value does not
    EventRecorder again;
    EXPECT_EQ(CallLibrary(Quoted(patch_), again), static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(again).text,
              "the game folder was not found: the registry HKEY_CURRENT_USER\\Software\\Corvanel"
              "\\Tessik value Program is missing");
    EXPECT_EQ(testing::ReadTree(game_), testing::OldTree());
}

TEST_F(PatchDll, FolderNamedInTheRegistryButMissingIsReported) {
    fs::path missing = temp_.Sub("uninstalled");
    SetRegistryFolder(missing.string());
    EventRecorder recorder;
    EXPECT_EQ(CallLibrary(Quoted(patch_), recorder), static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).text, "the game folder " + missing.string() + " was not found");
}

class PatchDllStop : public PatchDll, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(PatchDllStop, LeavesEachFileOldOrNew) {
    for (size_t occurrence : {1, 2, 3}) {
        EventRecorder recorder(GetParam(), occurrence);
        uint32_t result = Apply(recorder);
        ASSERT_TRUE(recorder.stopped()) << "no stop at " << occurrence;
        EXPECT_EQ(result, static_cast<uint32_t>(FPATCH_STOPPED));
        EXPECT_EQ(recorder.eventsAfterStop(), 0u);
        EXPECT_EQ(testing::FilesNeitherOldNorNew(game_), "");
    }
}

INSTANTIATE_TEST_SUITE_P(EachEvent, PatchDllStop,
                         ::testing::Values(FPATCH_EVENT_FILE, FPATCH_EVENT_MESSAGE,
                                           FPATCH_EVENT_PROGRESS, FPATCH_EVENT_IDLE));

TEST_F(PatchDll, SourceThatDoesNotMatchIsNamed) {
    testing::WriteFile(testing::PathOf(game_, "data\\sound.pak"), "another version");
    EventRecorder recorder;
    EXPECT_EQ(Apply(recorder), static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).event, static_cast<uint32_t>(FPATCH_EVENT_ERROR));
    EXPECT_EQ(LastEvent(recorder).text.rfind("data\\sound.pak does not match this patch", 0), 0u)
        << LastEvent(recorder).text;
}

// As root under Wine a read-only file or folder does not stop a write; a file another
// program holds open without sharing does.
TEST_F(PatchDll, FileHeldOpenWithoutSharingIsNamed) {
    std::string held = testing::PathOf(game_, "data\\maps.pak").string();
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EventRecorder recorder;
    uint32_t result = Apply(recorder);
    CloseHandle(file);
    EXPECT_EQ(result, static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).text,
              "cannot open data\\maps.pak: it is in use by another program");
    EXPECT_EQ(testing::FilesNeitherOldNorNew(game_), "");
}

TEST_F(PatchDll, TargetHeldOpenWithoutSharingIsNotReplaced) {
    std::string held = testing::PathOf(game_, "empty.txt").string();
    testing::WriteFile(held, "held");
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EventRecorder recorder;
    uint32_t result = Apply(recorder);
    CloseHandle(file);
    EXPECT_EQ(result, static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).text.rfind("cannot replace empty.txt: ", 0), 0u)
        << LastEvent(recorder).text;
    EXPECT_EQ(testing::ReadFile(held), "held");
    // The run's own temporary file does not outlive the failure.
    EXPECT_FALSE(fs::exists(quill::TemporaryNameBeside(held, 1)));
}

// A file named as the run's first temporary file beside a patched and an added file (a
// player's, the game's, or a killed run's): the run writes under other names and leaves it.
TEST_F(PatchDll, FileNamedLikeATemporaryFileIsLeftAlone) {
    testing::Tree taken;
    for (const char* target : {"data\\sound.pak", "empty.txt"})
        taken[quill::TemporaryNameBeside(target, 1)] = "not the run's";
    testing::WriteTree(game_, taken);
    for (const auto& [name, contents] : taken)
        testing::MakeReadOnly(testing::PathOf(game_, name));
    EventRecorder recorder;
    ASSERT_EQ(Apply(recorder), static_cast<uint32_t>(FPATCH_OK)) << LastEvent(recorder).text;
    testing::Tree expected = testing::NewTree();
    expected.insert(taken.begin(), taken.end());
    EXPECT_EQ(testing::ReadTree(game_), expected);
}

// A target whose path is as long as Windows takes (MAX_PATH less its terminating zero): its
// temporary file's name is no longer than its own, so it is patched where a copy would be.
TEST(PatchDllLongPath, TargetOfTheLongestPathIsPatched) {
    TempFolder temp;
    const fs::path game = temp.Sub("game");
    const std::string name(MAX_PATH - 1 - game.string().size() - 1, 'n');
    ASSERT_EQ((game / name).string().size(), static_cast<size_t>(MAX_PATH - 1));
    const std::string old = testing::RandomBytes(300000, 7);
    const fs::path patch = temp.Sub("long.rtp");
    ASSERT_TRUE(BuildFromTrees({{name, old}}, {{name, testing::Edited(old)}}, temp, patch));
    testing::WriteTree(game, {{name, old}});
    EventRecorder recorder;
    ASSERT_EQ(CallLibrary(Quoted(patch) + " " + Quoted(game), recorder),
              static_cast<uint32_t>(FPATCH_OK))
        << LastEvent(recorder).text;
    EXPECT_EQ(testing::ReadTree(game), (testing::Tree{{name, testing::Edited(old)}}));
}

TEST_F(PatchDll, FolderInPlaceOfAFileIsNamed) {
    fs::remove(testing::PathOf(game_, "readme.txt"));
    fs::create_directories(testing::PathOf(game_, "readme.txt"));
    EventRecorder recorder;
    EXPECT_EQ(Apply(recorder), static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).text, "cannot open readme.txt: a folder is in its place");
}

TEST_F(PatchDll, DamagedPatchGivesEventFourteenAndChangesNothing) {
    std::string bytes = testing::ReadFile(patch_);
    bytes[bytes.size() / 2] ^= 0x04;
    testing::WriteFile(patch_, bytes);
    EventRecorder recorder;
    EXPECT_EQ(Apply(recorder), static_cast<uint32_t>(FPATCH_DAMAGED));
    EXPECT_EQ(LastEvent(recorder).event, static_cast<uint32_t>(FPATCH_EVENT_DAMAGED));
    EXPECT_EQ(recorder.Count(FPATCH_EVENT_FILE), 0u);
    EXPECT_EQ(testing::ReadTree(game_), testing::OldTree());
}

TEST_F(PatchDll, BadCommandLineIsReported) {
    EventRecorder recorder;
    EXPECT_EQ(CallLibrary("\"Patch1.rtp", recorder), static_cast<uint32_t>(FPATCH_FAILED));
    ASSERT_EQ(recorder.events().size(), 1u);
    EXPECT_EQ(LastEvent(recorder).event, static_cast<uint32_t>(FPATCH_EVENT_ERROR));
}

TEST(PatchDllArguments, WithoutCallbackNothingHappens) {
    char line[] = "Patch1.rtp";
    EXPECT_EQ(FpatchApply(line, nullptr, 1), static_cast<uint32_t>(FPATCH_BAD_ARGUMENTS));
    EventRecorder recorder;
    g_recorder = &recorder;
    EXPECT_EQ(FpatchApply(nullptr, RecordEvent, 1), static_cast<uint32_t>(FPATCH_BAD_ARGUMENTS));
    EXPECT_TRUE(recorder.events().empty());
}

// Needs a small file system, mounted by with-small-disk.sh; QUILL_SMALL_DISK names it.
TEST(PatchDllSmallDisk, FullDiskIsReportedAndTheFileKeptOld) {
    const char* mount = std::getenv("QUILL_SMALL_DISK");
    if (!mount)
        GTEST_SKIP() << "QUILL_SMALL_DISK is not set";
    std::string unixPath = mount;
    std::string windowsPath = "Z:" + unixPath;
    for (char& c : windowsPath)
        c = c == '/' ? '\\' : c;
    TempFolder temp;
    std::string old = testing::RandomBytes(600 << 10, 8);
    fs::path patch = temp.Sub("big.rtp");
    ASSERT_TRUE(BuildFromTrees({{"big.pak", old}}, {{"big.pak", old + old}}, temp, patch));
    fs::path game = fs::path(windowsPath) / "game";
    testing::WriteTree(game, {{"big.pak", old}});
    EventRecorder recorder;
    uint32_t result = CallLibrary(Quoted(patch) + " " + Quoted(game), recorder);
    EXPECT_EQ(result, static_cast<uint32_t>(FPATCH_FAILED));
    EXPECT_EQ(LastEvent(recorder).text, "cannot write big.pak: the disk is full");
    EXPECT_EQ(testing::ReadTree(game), (testing::Tree{{"big.pak", old}}));
    fs::remove_all(game);
}

} // namespace
} // namespace patchfile
