#include "CdSearch.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

constexpr unsigned kUnknown = 0, kNoRoot = 1, kRemovable = 2, kFixed = 3, kRemote = 4, kCdRom = 5,
                   kRamDisk = 6;

class FakeDrives : public quill::DriveProbe {
public:
    unsigned DriveType(const std::string& root) override {
        asked.push_back(root);
        return types.at(root);
    }
    bool Exists(const std::string& path) override { return files.count(path) != 0; }

    std::map<std::string, unsigned> types;
    std::set<std::string> files;
    std::vector<std::string> asked;
};

// The drive list as GetLogicalDriveStringsA fills it: "A:\" NUL "C:\" NUL ... NUL.
std::string DriveList(const std::string& letters) {
    std::string list;
    for (char letter : letters)
        list += std::string(1, letter) + ":\\" + '\0';
    return list;
}

std::string Find(FakeDrives& drives, const std::string& letters, int cd) {
    std::string list = DriveList(letters);
    return quill::FindCdInDriveList(list.data(), list.size(), cd, drives);
}

TEST(CdSearchTest, MarkerName) {
    EXPECT_EQ(quill::CdMarkerPath("E:\\", 2), "E:\\data2.tag");
    EXPECT_EQ(quill::CdMarkerPath("E:\\", 0), "E:\\data0.tag");
}

struct DriveCase {
    const char* name;
    unsigned type;
    bool found;
};

class DriveTypeTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(DriveTypeTest, ExaminesOnlyDrivesThatMayHoldACd) {
    FakeDrives drives;
    drives.types = {{"C:\\", kFixed}, {"E:\\", GetParam().type}};
    drives.files = {"E:\\data1.tag"};
    EXPECT_EQ(Find(drives, "CE", 1), GetParam().found ? "E:\\" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Types, DriveTypeTest,
    ::testing::Values(DriveCase{"CdRom", kCdRom, true}, DriveCase{"Removable", kRemovable, true},
                      DriveCase{"Unknown", kUnknown, true}, DriveCase{"Fixed", kFixed, false},
                      DriveCase{"Network", kRemote, false}, DriveCase{"RamDisk", kRamDisk, false},
                      DriveCase{"Unmounted", kNoRoot, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CdSearchTest, FirstDriveOfTheListIsNeverExamined) {
    FakeDrives drives;
    drives.types = {{"D:\\", kCdRom}, {"Z:\\", kFixed}};
    drives.files = {"D:\\data1.tag"};
    EXPECT_EQ(Find(drives, "DZ", 1), "");
    EXPECT_EQ(drives.asked, std::vector<std::string>{"Z:\\"});
}

TEST(CdSearchTest, OneDriveOnlyExaminesNothing) {
    FakeDrives drives;
    drives.types = {{"C:\\", kCdRom}};
    drives.files = {"C:\\data1.tag"};
    EXPECT_EQ(Find(drives, "C", 1), "");
    EXPECT_TRUE(drives.asked.empty());
}

TEST(CdSearchTest, LowerLetterWinsAndTheScanStops) {
    FakeDrives drives;
    drives.types = {{"C:\\", kFixed}, {"E:\\", kCdRom}, {"F:\\", kCdRom}};
    drives.files = {"E:\\data2.tag", "F:\\data2.tag"};
    EXPECT_EQ(Find(drives, "CEF", 2), "E:\\");
    EXPECT_EQ(drives.asked, (std::vector<std::string>{"E:\\"}));
}

TEST(CdSearchTest, LooksForTheMarkerOfTheCdAskedFor) {
    FakeDrives drives;
    drives.types = {{"C:\\", kFixed}, {"E:\\", kCdRom}, {"F:\\", kCdRom}};
    drives.files = {"E:\\data1.tag", "F:\\data2.tag"};
    EXPECT_EQ(Find(drives, "CEF", 2), "F:\\");
    EXPECT_EQ(Find(drives, "CEF", 3), "");
}

TEST(CdSearchTest, EmptyListFindsNothing) {
    FakeDrives drives;
    EXPECT_EQ(quill::FindCdInDriveList("", 0, 1, drives), "");
}

} // namespace
