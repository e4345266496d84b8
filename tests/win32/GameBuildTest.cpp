#include "GameBuild.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The stand-ins for game.exe lie beside this test program.
std::string FixturePath(const std::string& name) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.rfind('\\'));
    return folder + "\\" + name + ".exe";
}

struct BuildCase {
    const char* fixture; // copied to the CD as game.exe; null: no game.exe
    const char* build;
};

class GameBuildTest : public ::testing::TestWithParam<BuildCase> {};

TEST_P(GameBuildTest, ReadsPrivateBuildOfTheGameOnTheCd) {
    TempFolder cd;
    if (GetParam().fixture) {
        ASSERT_TRUE(CopyFileA(FixturePath(GetParam().fixture).c_str(),
                              (cd.path() + "game.exe").c_str(), FALSE))
            << FixturePath(GetParam().fixture);
    }
    EXPECT_EQ(ReadGameBuild(cd.path()), GetParam().build);
}

INSTANTIATE_TEST_SUITE_P(Games, GameBuildTest,
                         ::testing::Values(BuildCase{"game_136", "136"},
                                           BuildCase{"game_136_space", "136 "},
                                           BuildCase{"game_137", "137"},
                                           // Strings stored for another language are not read.
                                           BuildCase{"game_136_german", ""},
                                           BuildCase{nullptr, ""}));

TEST(GameBuildFileTest, FileWithoutVersionResourceGivesNoBuild) {
    TempFolder cd;
    cd.WriteFile("game.exe", "not a program at all");
    EXPECT_EQ(ReadGameBuild(cd.path()), "");
}

} // namespace
