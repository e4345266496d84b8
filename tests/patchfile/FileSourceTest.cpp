// A stretch of a file as a decoder's source: reads inside it come from the right place, and
// nothing beyond it is read, even where the file goes on.
#include "FileSource.h"
#include "MemoryInputFile.h"

#include <gtest/gtest.h>

namespace patchfile {
namespace {

struct RangeRead {
    const char* name;
    uint64_t offset;
    size_t length;
    const char* expected; // null: refused
};

class FileSourceRange : public ::testing::TestWithParam<RangeRead> {};

TEST_P(FileSourceRange, ReadsOnlyInsideTheStretch) {
    MemoryInputFile file(std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});
    FileSource source(file, nullptr, 2, 4); // "cdef"
    ASSERT_EQ(source.Size(), 4u);
    std::string out(GetParam().length, '\0');
    bool read = source.Read(GetParam().offset, out.data(), out.size());
    if (!GetParam().expected) {
        EXPECT_FALSE(read);
        EXPECT_TRUE(source.error());
        return;
    }
    ASSERT_TRUE(read);
    EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Reads, FileSourceRange,
                         ::testing::Values(RangeRead{"Start", 0, 2, "cd"},
                                           RangeRead{"Whole", 0, 4, "cdef"},
                                           RangeRead{"End", 3, 1, "f"},
                                           RangeRead{"Empty", 4, 0, ""},
                                           RangeRead{"PastTheEnd", 3, 2, nullptr},
                                           RangeRead{"BeyondTheEnd", 5, 0, nullptr},
                                           RangeRead{"HugeOffset", ~uint64_t(0), 1, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileSource, AStopAnswerOfTheTickFailsTheRead) {
    MemoryInputFile file(std::vector<uint8_t>(16, 'x'));
    FileSource source(file, [] { return false; });
    char byte = 0;
    EXPECT_FALSE(source.Read(0, &byte, 1));
    EXPECT_FALSE(source.error());
}

} // namespace
} // namespace patchfile
