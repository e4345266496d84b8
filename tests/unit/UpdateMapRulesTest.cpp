#include "UpdateMapRules.h"

#include <gtest/gtest.h>

namespace {

struct MapCase {
    const char* name;
    bool recorded;
};

class UpdateMapRulesTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(UpdateMapRulesTest, DecidesWhatIsRecorded) {
    EXPECT_EQ(quill::IsRecordedInUpdateMap(GetParam().name), GetParam().recorded)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, UpdateMapRulesTest,
    ::testing::Values(MapCase{"x.xarc", true}, MapCase{"A.XARC", true},
                      MapCase{"data\\levels\\town.Xarc", true}, MapCase{"myglobal.xarc", false},
                      MapCase{"xstatic.xarc", false}, MapCase{"GLOBAL.XARC", false},
                      MapCase{"sub\\Static.xarc", false},
                      MapCase{"menu\\MainMenuLocation.xarc", false},
                      MapCase{"othermainmenulocation.xarc", false}, MapCase{"mainmenu.xarc", true},
                      MapCase{"game.exe", false}, MapCase{"x.xarc.bak", false},
                      MapCase{".xarc", true}, MapCase{"xarc", false}, MapCase{"", false}));

} // namespace
