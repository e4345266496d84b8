// One fault planted in a valid sample per case: the image is refused, or parses to fields
// that are all in the file (the promises every parse keeps) and to the counts the fault
// leaves.
#include "ElfFormat.h"
#include "Invariants.h"
#include "PeFormat.h"
#include "SampleImages.h"

#include <gtest/gtest.h>

#include <functional>

namespace x86image::test {
namespace {

constexpr int kAny = -1;

struct DamageCase {
    const char* name;
    Sample (*make)();
    std::function<void(Sample&)> plant;
    bool parses;
    int sections = kAny;
    int absolute = kAny;
    int relativeToBase = kAny;
};

// PE sample parts: sections 0 .text, 1 .rdata, 2 .data, 3 .reloc.
uint64_t PeSectionField(const Sample& s, size_t index, uint64_t field) {
    return s.sectionTable + index * pe::kSectionHeaderBytes + field;
}
uint64_t PeDirectory(const Sample& s, uint32_t index) {
    return s.optionalHeader + pe::kDataDirectories + index * pe::kDataDirectoryBytes;
}
// The sample's second relocation block starts after the first's 8 + 3 * 2 bytes.
constexpr uint64_t kSecondRelocBlock = 14;

// ELF32 sample headers: 1 .text, 2 .data, 3 .got.plt, 4 .rel.dyn, 5 .dynsym, 6 .bss, 7 .symtab.
uint64_t Elf32Section(const Sample& s, size_t index, uint64_t field) {
    return s.sectionTable + index * elf::kElf32.sectionHeaderBytes + field;
}
const elf::ClassLayout& E32 = elf::kElf32;
const elf::ClassLayout& E64 = elf::kElf64;

const DamageCase kCases[] = {
    // PE32: headers.
    {"pe_truncated_in_file_header", SamplePe, [](Sample& s) { s.bytes.resize(s.fileHeader + 10); },
     false},
    {"pe_truncated_in_section_table", SamplePe,
     [](Sample& s) { s.bytes.resize(s.sectionTable + 2 * pe::kSectionHeaderBytes); }, false},
    {"pe_new_header_beyond_file", SamplePe,
     [](Sample& s) { Put32(s.bytes, pe::kDosNewHeaderOffset, 0xFFFFFFF0); }, false},
    {"pe_section_count_over_cap", SamplePe,
     [](Sample& s) { Put16(s.bytes, s.fileHeader + pe::kNumberOfSections, 97); }, false},
    {"pe_section_count_huge", SamplePe,
     [](Sample& s) { Put16(s.bytes, s.fileHeader + pe::kNumberOfSections, 0xFFFF); }, false},
    {"pe_optional_header_beyond_file", SamplePe,
     [](Sample& s) { Put16(s.bytes, s.fileHeader + pe::kSizeOfOptionalHeader, 0xFFFF); }, false},
    {"pe_optional_header_too_small", SamplePe,
     [](Sample& s) { Put16(s.bytes, s.fileHeader + pe::kSizeOfOptionalHeader, 0x40); }, false},
    {"pe_not_i386", SamplePe, [](Sample& s) { Put16(s.bytes, s.fileHeader, 0x8664); }, false},
    {"pe_optional_header_pe32plus", SamplePe,
     [](Sample& s) { Put16(s.bytes, s.optionalHeader, 0x20B); }, false},
    // PE32: base relocations.
    {"pe_reloc_block_of_size_0", SamplePe,
     [](Sample& s) { Put32(s.bytes, At(s, 3, kSecondRelocBlock + 4), 0); }, true, 4, 2, 12},
    {"pe_reloc_block_beyond_directory", SamplePe,
     [](Sample& s) { Put32(s.bytes, At(s, 3, kSecondRelocBlock + 4), 0x1000); }, true, 4, 2, 12},
    {"pe_reloc_directory_larger_than_section", SamplePe,
     [](Sample& s) { Put32(s.bytes, PeDirectory(s, pe::kBaseRelocDirectory) + 4, 0xFFFFFFF0); },
     true, 4, 4, 12},
    {"pe_reloc_page_beyond_32_bits", SamplePe,
     [](Sample& s) { Put32(s.bytes, At(s, 3, 0), 0xFFFFF000); }, true, 4, 2, 12},
    {"pe_reloc_directory_outside_sections", SamplePe,
     [](Sample& s) { Put32(s.bytes, PeDirectory(s, pe::kBaseRelocDirectory), 0x9000); }, true, 4, 0,
     12},
    {"pe_truncated_in_reloc_data", SamplePe,
     [](Sample& s) { s.bytes.resize(At(s, 3, kSecondRelocBlock + 6)); }, true, 4, 2, 12},
    {"pe_no_data_directories_scans_data", SamplePe,
     [](Sample& s) { Put32(s.bytes, s.optionalHeader + pe::kNumberOfRvaAndSizes, 0); }, true, 4, 2,
     0},
    // PE32: sections.
    {"pe_section_data_beyond_file", SamplePe,
     [](Sample& s) { Put32(s.bytes, PeSectionField(s, 2, pe::kPointerToRawData), 0x7FFFFF00); },
     true, 3, 2, 10},
    {"pe_last_section_raw_size_beyond_file", SamplePe,
     [](Sample& s) {
         Put32(s.bytes, PeSectionField(s, 3, pe::kSizeOfRawData), 0xFFFFFFFF);
         Put32(s.bytes, PeSectionField(s, 3, pe::kVirtualSize), 0);
     },
     true, 4, 4, 12},
    {"pe_section_address_wraps_32_bits", SamplePe,
     [](Sample& s) { Put32(s.bytes, PeSectionField(s, 2, pe::kVirtualAddress), 0xFFFFFF80); }, true,
     3, 2, 10},
    {"pe_sections_overlap_in_file", SamplePe,
     [](Sample& s) {
         Put32(s.bytes, PeSectionField(s, 2, pe::kPointerToRawData),
               static_cast<uint32_t>(s.sectionOffsets[0]));
     },
     true, 3, 2, 10},
    {"pe_sections_overlap_in_address", SamplePe,
     [](Sample& s) { Put32(s.bytes, PeSectionField(s, 2, pe::kVirtualAddress), 0x2000); }, true, 3,
     2, 10},
    // PE32: export and import tables.
    {"pe_export_function_count_huge", SamplePe,
     [](Sample& s) { Put32(s.bytes, At(s, 1, pe::kNumberOfFunctions), 0xFFFFFFFF); }, true, 4, 4,
     10},
    {"pe_export_directory_cut_by_section_end", SamplePe,
     [](Sample& s) { Put32(s.bytes, PeDirectory(s, pe::kExportDirectory), 0x2000 + 0x200 - 8); },
     true, 4, 4, 5},
    {"pe_import_thunks_without_end", SamplePe,
     [](Sample& s) {
         for (uint64_t at = 0x188; at < 0x200; at += 4) {
             Put32(s.bytes, At(s, 1, at), 0x80000001);
         }
     },
     true, 4, 4, 12},
    {"pe_import_descriptors_without_end", SamplePe,
     [](Sample& s) {
         for (uint64_t at = 0x114; at < 0x180; ++at) {
             s.bytes[At(s, 1, at)] = 0xFF;
         }
     },
     true, 4, 4, kAny},

    // ELF32: headers.
    {"elf32_truncated_header", SampleElf32, [](Sample& s) { s.bytes.resize(30); }, false},
    {"elf32_section_headers_beyond_file", SampleElf32,
     [](Sample& s) { Put32(s.bytes, E32.shoff, static_cast<uint32_t>(s.bytes.size())); }, false},
    {"elf32_section_count_huge", SampleElf32, [](Sample& s) { Put16(s.bytes, E32.shnum, 0xFFFF); },
     false},
    {"elf32_section_header_entries_too_small", SampleElf32,
     [](Sample& s) { Put16(s.bytes, E32.shentsize, 8); }, false},
    {"elf32_relocatable_object", SampleElf32, [](Sample& s) { Put16(s.bytes, elf::kType, 1); },
     false},
    {"elf32_class_64_for_i386", SampleElf32,
     [](Sample& s) { s.bytes[elf::kIdentClass] = elf::kClass64; }, false},
    {"elf32_big_endian", SampleElf32, [](Sample& s) { s.bytes[elf::kIdentData] = 2; }, false},
    {"elf32_extended_section_count", SampleElf32,
     [](Sample& s) {
         Put32(s.bytes, Elf32Section(s, 0, E32.shSize), 8);
         Put16(s.bytes, E32.shnum, 0);
     },
     true, 5, 9},
    {"elf32_extended_section_count_over_cap", SampleElf32,
     [](Sample& s) {
         Put32(s.bytes, Elf32Section(s, 0, E32.shSize), 0x10000);
         Put16(s.bytes, E32.shnum, 0);
     },
     false},
    // ELF32: sections and tables.
    {"elf32_rel_table_beyond_file", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 4, E32.shOffset), 0xFFFFFF00); }, true, 4, 3},
    {"elf32_rel_table_longer_than_file", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 4, E32.shSize), 0xFFFFFFF0); }, true},
    {"elf32_rel_entries_of_another_size", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 4, E32.shEntsize), 12); }, true, 5, 3},
    {"elf32_rel_slot_outside_image", SampleElf32,
     [](Sample& s) { Put32(s.bytes, At(s, 3, 0), 0xFFFFFFFC); }, true, 5, 8},
    {"elf32_symbol_table_beyond_file", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 7, E32.shOffset), 0xFFFFFF00); }, true, 5, 8},
    {"elf32_symbol_table_longer_than_file", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 7, E32.shSize), 0xFFFFFFF0); }, true, 5},
    {"elf32_dynamic_symbols_of_another_size", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 5, E32.shEntsize), 24); }, true, 5, 7},
    {"elf32_section_address_wraps_32_bits", SampleElf32,
     [](Sample& s) { Put32(s.bytes, Elf32Section(s, 2, E32.shAddr), 0xFFFFFFF0); }, true, 4, 8},
    {"elf32_sections_overlap_in_file", SampleElf32,
     [](Sample& s) {
         Put32(s.bytes, Elf32Section(s, 3, E32.shOffset),
               static_cast<uint32_t>(s.sectionOffsets[1]));
     },
     true, 4, 8},

    // ELF64.
    {"elf64_section_headers_truncated", SampleElf64,
     [](Sample& s) { s.bytes.resize(s.sectionTable + 10); }, false},
    {"elf64_no_allocated_section_falls_back_to_segments", SampleElf64,
     [](Sample& s) {
         for (uint64_t index = 1; index <= 3; ++index) {
             Put64(s.bytes, s.sectionTable + index * E64.sectionHeaderBytes + E64.shFlags, 0);
         }
     },
     true, 2, 0, 0},
    {"elf64_program_headers_beyond_file", SampleElf64WithoutSections,
     [](Sample& s) { Put64(s.bytes, E64.phoff, s.bytes.size()); }, false},
    {"elf64_program_header_count_huge", SampleElf64WithoutSections,
     [](Sample& s) { Put16(s.bytes, E64.phnum, 0xFFFF); }, false},
    {"elf64_neither_sections_nor_segments", SampleElf64WithoutSections,
     [](Sample& s) { Put16(s.bytes, E64.phnum, 0); }, false},
    {"elf64_segment_size_beyond_file", SampleElf64WithoutSections,
     [](Sample& s) { Put64(s.bytes, s.programHeaderTable + E64.pFilesz, ~uint64_t{0xF}); }, true, 1,
     0, 0},
    {"elf64_segment_address_wraps_64_bits", SampleElf64WithoutSections,
     [](Sample& s) { Put64(s.bytes, s.programHeaderTable + E64.pVaddr, ~uint64_t{0xF}); }, true, 1,
     0, 0},
};

void PrintTo(const DamageCase& damage, std::ostream* out) {
    *out << damage.name;
}

class DamagedImageTest : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedImageTest, RefusedOrOnlyFieldsInTheFile) {
    const DamageCase& damage = GetParam();
    Sample sample = damage.make();
    damage.plant(sample);
    MemorySource source(sample.bytes);
    ImageReferences found;
    std::string why;
    const bool parsed = ParseImage(source, found, why) == ParseResult::Parsed;
    EXPECT_FALSE(source.readOutside);
    ASSERT_EQ(parsed, damage.parses) << why;
    if (!parsed) {
        EXPECT_FALSE(why.empty());
        EXPECT_TRUE(found.layout.sections.empty() && found.absolute.empty() &&
                    found.relativeToBase.empty());
        return;
    }
    EXPECT_EQ(BrokenPromise(found, sample.bytes.size()), "");
    if (damage.sections != kAny) {
        EXPECT_EQ(found.layout.sections.size(), static_cast<size_t>(damage.sections));
    }
    if (damage.absolute != kAny) {
        EXPECT_EQ(found.absolute.size(), static_cast<size_t>(damage.absolute));
    }
    if (damage.relativeToBase != kAny) {
        EXPECT_EQ(found.relativeToBase.size(), static_cast<size_t>(damage.relativeToBase));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DamagedImageTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DamageCase>& info) {
                             return std::string(info.param.name);
                         });

// An ELF with one allocated section more than the cap.
TEST(DamagedImageTest, MoreSectionsThanTheCapAreRefused) {
    ElfSpec spec;
    for (size_t index = 0; index <= kMaxSections; ++index) {
        spec.sections.push_back({1, elf::kFlagAlloc, 0x1000 + 0x100 * index, 0, Bytes(16, 1), 0});
    }
    const WrittenElf written = WriteElf(spec);
    MemorySource source(written.bytes);
    ImageReferences found;
    std::string why;
    EXPECT_EQ(ParseImage(source, found, why), ParseResult::Refused);
    spec.sections.pop_back();
    const WrittenElf fewer = WriteElf(spec);
    MemorySource fewerSource(fewer.bytes);
    EXPECT_EQ(ParseImage(fewerSource, found, why), ParseResult::Parsed) << why;
    EXPECT_EQ(found.layout.sections.size(), kMaxSections);
}

// Every byte of each sample's first KiB set to a few values: the parse keeps its promises and
// gives the same result twice.
TEST(DamagedImageTest, EveryHeaderByteChangedKeepsThePromises) {
    for (const Sample& sample : AllSamples()) {
        const size_t span = std::min<size_t>(sample.bytes.size(), 1024);
        for (size_t at = 0; at < span; ++at) {
            for (uint8_t value : {uint8_t{0}, uint8_t{0xFF}, uint8_t(sample.bytes[at] + 1)}) {
                Bytes bytes = sample.bytes;
                bytes[at] = value;
                MemorySource source(bytes);
                ImageReferences first, second;
                std::string why;
                const bool parsed = ParseImage(source, first, why) == ParseResult::Parsed;
                ASSERT_EQ(ParseImage(source, second, why) == ParseResult::Parsed, parsed);
                ASSERT_FALSE(source.readOutside);
                ASSERT_EQ(first.absolute, second.absolute);
                ASSERT_EQ(first.relativeToBase, second.relativeToBase);
                if (parsed) {
                    ASSERT_EQ(BrokenPromise(first, bytes.size()), "")
                        << sample.name << " byte " << at << " = " << int{value};
                }
            }
        }
    }
}

} // namespace
} // namespace x86image::test
