// The call-frame table's code addresses are listed as pc-relative fields only where the whole
// section reads as such a table; a damaged or foreign one lists nothing and breaks nothing.
#include "ParseChecked.h"
#include "SampleImages.h"
#include "SamplePrograms.h"

#include <gtest/gtest.h>

namespace x86image::test {
namespace {

constexpr size_t kFunctions = 12;

// The program with its table, and where the table starts in the file.
struct Program {
    Bytes bytes;
    uint64_t table;
};

Program WithTable() {
    Program program{MovedCodeProgram(kFunctions, 0, 9, true), 0};
    const ImageReferences found = ParseChecked(program.bytes);
    EXPECT_EQ(found.layout.sections.size(), 2u);
    program.table = found.layout.sections.back().fileOffset;
    return program;
}

TEST(UnwindTable, ListsEveryFunctionsCodeAddress) {
    const Program program = WithTable();
    const ImageReferences found = ParseChecked(program.bytes);
    ASSERT_EQ(found.pcRelative.size(), kFunctions);
    for (size_t f = 0; f < kFunctions; ++f)
        EXPECT_EQ(found.pcRelative[f], program.table + kFirstFde + f * kFdeBytes + 8) << f;
    EXPECT_EQ(found.absolute, ParseChecked(MovedCodeProgram(kFunctions, 0, 9)).absolute);
}

struct Damage {
    const char* name;
    uint64_t at; // from the table's start
    uint32_t value;
    bool keepsFields;
};

const Damage kDamages[] = {
    {"fde-names-no-cie", kFirstFde + 4, 8, false},
    {"fde-names-a-cie-before-the-table", kFirstFde + 4, 0x1000, false},
    {"record-past-the-section", kFirstFde, 0x10000, false},
    {"dwarf64-record", kFirstFde, 0xFFFFFFFF, false},
    {"cie-version-unknown", 8, 0x00525A07, false},          // version 7, "zR"
    {"cie-augmentation-unknown", 8, 0x00585A01, false},     // "zX"
    {"cie-code-addresses-absolute", 16, 0x04040C00, false}, // encoding 0: nothing pc-relative
    {"terminator-early", kFirstFde + kFdeBytes, 0, true},
};

class UnwindTableDamage : public testing::TestWithParam<Damage> {};

TEST_P(UnwindTableDamage, ListsNothingOrOnlyWhatItCanRead) {
    const Damage& damage = GetParam();
    Program program = WithTable();
    Put32(program.bytes, program.table + damage.at, damage.value);
    const ImageReferences found = ParseChecked(program.bytes);
    EXPECT_EQ(found.pcRelative.size(), damage.keepsFields ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Faults, UnwindTableDamage, testing::ValuesIn(kDamages),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace x86image::test
