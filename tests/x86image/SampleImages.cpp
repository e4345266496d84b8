#include "SampleImages.h"

#include "ElfFormat.h"
#include "PeFormat.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace x86image::test {

namespace {

constexpr uint32_t kImageBase = 0x400000;
constexpr uint32_t kCode = pe::kScnCntCode | pe::kScnMemExecute;
constexpr uint32_t kData = 0x40; // initialised data
constexpr uint32_t kText = 0x1000, kRdata = 0x2000, kDataRva = 0x3000, kReloc = 0x4000;

// Offsets inside .rdata and .data of the sample PE's tables.
constexpr uint32_t kExports = 0x000, kFunctions = 0x040, kNames = 0x048, kOrdinals = 0x04C;
constexpr uint32_t kDllName = 0x060, kFunctionName = 0x068;
constexpr uint32_t kImports = 0x100, kLookup = 0x180, kImportedDll = 0x1C0, kHintName = 0x1D0;
constexpr uint32_t kAddressTable = 0x100; // in .data

void PutString(Bytes& bytes, uint64_t at, const char* text) {
    std::memcpy(bytes.data() + at, text, std::strlen(text) + 1);
}

Bytes RelocBlock(uint32_t page, std::vector<uint16_t> entries) {
    Bytes block(8 + 2 * entries.size());
    Put32(block, 0, page);
    Put32(block, 4, static_cast<uint32_t>(block.size()));
    for (size_t index = 0; index < entries.size(); ++index) {
        Put16(block, 8 + 2 * index, entries[index]);
    }
    return block;
}

uint16_t HighLow(uint16_t offset) {
    return static_cast<uint16_t>(pe::kRelBasedHighLow << 12 | offset);
}

Sample FromPe(std::string name, const PeSpec& spec, const WrittenPe& written) {
    Sample sample;
    sample.name = std::move(name);
    sample.bytes = written.bytes;
    sample.kind = ImageKind::Pe32;
    sample.fileHeader = written.fileHeader;
    sample.optionalHeader = written.optionalHeader;
    sample.sectionTable = written.sectionTable;
    sample.sectionOffsets = written.sectionOffsets;
    for (size_t index = 0; index < spec.sections.size(); ++index) {
        const PeSectionSpec& section = spec.sections[index];
        sample.sections.push_back({written.sectionOffsets[index], section.rva, section.data.size(),
                                   (section.characteristics & kCode) != 0});
    }
    return sample;
}

void SortFields(Sample& sample) {
    std::sort(sample.absolute.begin(), sample.absolute.end());
    std::sort(sample.relativeToBase.begin(), sample.relativeToBase.end());
}

} // namespace

bool MemorySource::Read(uint64_t offset, void* out, size_t length) {
    if (offset > size_ || length > size_ - offset) {
        readOutside = true;
        return false;
    }
    std::memcpy(out, data_ + offset, length);
    return true;
}

uint32_t At(const Sample& sample, size_t index, uint64_t offset) {
    return static_cast<uint32_t>(sample.sectionOffsets[index] + offset);
}

Sample SamplePe() {
    PeSpec spec;
    spec.imageBase = kImageBase;
    Bytes text(0x100, 0x90), rdata(0x200, 0), data(0x120, 0);
    Put32(text, 0x10, kImageBase + kDataRva + 0x8); // mov eax, [global]
    Put32(text, 0x20, kImageBase + kRdata + 0x100);

    Put32(rdata, kExports + pe::kExportName, kRdata + kDllName);
    Put32(rdata, kExports + pe::kNumberOfFunctions, 2);
    Put32(rdata, kExports + pe::kNumberOfNames, 1);
    Put32(rdata, kExports + pe::kAddressOfFunctions, kRdata + kFunctions);
    Put32(rdata, kExports + pe::kAddressOfNames, kRdata + kNames);
    Put32(rdata, kExports + pe::kAddressOfNameOrdinals, kRdata + kOrdinals);
    Put32(rdata, kFunctions, kText);
    Put32(rdata, kFunctions + 4, kText + 0x50);
    Put32(rdata, kNames, kRdata + kFunctionName);
    PutString(rdata, kDllName, "sample.dll");
    PutString(rdata, kFunctionName, "Run");

    Put32(rdata, kImports + pe::kOriginalFirstThunk, kRdata + kLookup);
    Put32(rdata, kImports + pe::kImportName, kRdata + kImportedDll);
    Put32(rdata, kImports + pe::kFirstThunk, kDataRva + kAddressTable);
    Put32(rdata, kLookup, kRdata + kHintName);
    Put32(rdata, kLookup + 4, pe::kOrdinalFlag | 5);
    Put32(data, kAddressTable, kRdata + kHintName);
    Put32(data, kAddressTable + 4, pe::kOrdinalFlag | 5);
    PutString(rdata, kImportedDll, "other.dll");
    PutString(rdata, kHintName + 2, "Call");

    Put32(data, 0x0, kImageBase + kText + 0x40); // a function pointer
    Put32(data, 0x8, kImageBase + kRdata + 0x68);

    Bytes reloc = RelocBlock(kText, {HighLow(0x10), HighLow(0x20), 0});
    const Bytes second = RelocBlock(kDataRva, {HighLow(0x0), HighLow(0x8)});
    reloc.insert(reloc.end(), second.begin(), second.end());

    spec.sections = {{kText, 0, kCode, text},
                     {kRdata, 0, kData, rdata},
                     {kDataRva, 0, kData, data},
                     {kReloc, 0, kData, reloc}};
    spec.directories[pe::kExportDirectory] = {kRdata + kExports, 40};
    spec.directories[pe::kImportDirectory] = {kRdata + kImports, 40};
    spec.directories[pe::kBaseRelocDirectory] = {kReloc, static_cast<uint32_t>(reloc.size())};
    const WrittenPe written = WritePe(spec);

    Sample sample = FromPe("pe32", spec, written);
    sample.absolute = {At(sample, 0, 0x10), At(sample, 0, 0x20), At(sample, 2, 0x0),
                       At(sample, 2, 0x8)};
    for (uint64_t field : std::initializer_list<uint64_t>{
             kExports + pe::kExportName, kExports + pe::kAddressOfFunctions,
             kExports + pe::kAddressOfNames, kExports + pe::kAddressOfNameOrdinals, kFunctions,
             kFunctions + 4, kNames, kImports + pe::kOriginalFirstThunk, kImports + pe::kImportName,
             kImports + pe::kFirstThunk, kLookup}) {
        sample.relativeToBase.push_back(At(sample, 1, field));
    }
    sample.relativeToBase.push_back(At(sample, 2, kAddressTable));
    SortFields(sample);
    return sample;
}

Sample SampleStrippedPe() {
    PeSpec spec;
    spec.imageBase = kImageBase;
    spec.characteristics |= pe::kRelocsStripped;
    Bytes text(0x40, 0x90), data(0x40, 0);
    Put32(text, 0x8, kImageBase + kText + 4); // in code: not scanned
    Put32(data, 0x00, kImageBase + kText + 0x10);
    Put32(data, 0x04, kImageBase + 0x9000);   // points nowhere in the image
    Put32(data, 0x08, kText + 0x10);          // no image base: not an address
    Put32(data, 0x0E, kImageBase + kDataRva); // misaligned
    Put32(data, 0x14, kImageBase + kDataRva + 0x3C);
    spec.sections = {{kText, 0, kCode, text}, {kDataRva, 0, kData, data}};
    const WrittenPe written = WritePe(spec);
    Sample sample = FromPe("pe32-stripped", spec, written);
    sample.absolute = {At(sample, 1, 0x00), At(sample, 1, 0x14)};
    return sample;
}

namespace {

constexpr uint32_t kElfText = 0x08049000, kElfData = 0x0804B000, kGotPlt = 0x0804C000;
constexpr uint32_t kRelDyn = 0x08048200, kDynsym = 0x08048100, kBss = 0x0804D000;
constexpr uint64_t kWrite = 1;

Bytes Rel32(std::vector<std::pair<uint32_t, uint32_t>> entries) {
    Bytes table;
    for (const auto& [offset, info] : entries) {
        const uint64_t at = table.size();
        table.resize(at + elf::kRel32Bytes);
        Put32(table, at, offset);
        Put32(table, at + elf::kRel32Info, info);
    }
    return table;
}

struct Symbol32 {
    uint32_t value;
    uint8_t info;
    uint16_t section;
};

Bytes Symbols32(std::vector<Symbol32> symbols) {
    Bytes table;
    for (const Symbol32& symbol : symbols) {
        const uint64_t at = table.size();
        table.resize(at + elf::kSym32Bytes);
        Put32(table, at + elf::kSym32Value, symbol.value);
        table[at + elf::kSym32Info] = symbol.info;
        Put16(table, at + elf::kSym32Shndx, symbol.section);
    }
    return table;
}

Sample FromElf(std::string name, const ElfSpec& spec, const WrittenElf& written) {
    Sample sample;
    sample.name = std::move(name);
    sample.bytes = written.bytes;
    sample.kind = spec.is64 ? ImageKind::Elf64X86 : ImageKind::Elf32X86;
    sample.sectionTable = written.sectionHeaderTable;
    sample.programHeaderTable = written.programHeaderTable;
    sample.sectionOffsets = written.sectionOffsets;
    for (size_t index = 0; index < spec.sections.size(); ++index) {
        const ElfSectionSpec& section = spec.sections[index];
        if ((section.flags & elf::kFlagAlloc) != 0 && section.type != elf::kSectionNobits) {
            sample.sections.push_back({written.sectionOffsets[index], section.address,
                                       section.data.size(),
                                       (section.flags & elf::kFlagExecInstr) != 0});
        }
    }
    return sample;
}

} // namespace

Sample SampleElf32() {
    ElfSpec spec;
    spec.entry = kElfText;
    Bytes text(0x40, 0x90), data(0x20, 0), gotPlt(0x10, 0);
    Put32(data, 0x0, kElfText + 0x10);
    Put32(gotPlt, 0xC, kElfText + 0x36);
    const Bytes rel =
        Rel32({{kElfData, elf::kRel386Relative},
               {kGotPlt + 0xC, 1u << 8 | elf::kRel386JmpSlot},
               {kElfData + 0x10, 1u << 8 | 6}, // GLOB_DAT: the slot holds no address yet
               {kBss, elf::kRel386Relative}}); // the slot has no file bytes
    const Bytes dynsym = Symbols32({{0, 0, 0},
                                    {0, 0x12, 0},               // undefined
                                    {kElfText + 0x10, 0x12, 1}, // a function
                                    {0x1234, 0x11, 0xFFF1},     // absolute value
                                    {0x4, 0x16, 2},             // thread-local
                                    {kElfData + 4, 0x11, 2}});
    const Bytes symtab = Symbols32({{kElfText + 0x20, 0x02, 1}});
    spec.sections = {{1, elf::kFlagAlloc | elf::kFlagExecInstr, kElfText, 0, text, 0},
                     {1, elf::kFlagAlloc | kWrite, kElfData, 0, data, 0},
                     {1, elf::kFlagAlloc | kWrite, kGotPlt, 0, gotPlt, 0},
                     {elf::kSectionRel, elf::kFlagAlloc, kRelDyn, elf::kRel32Bytes, rel, 0},
                     {elf::kSectionDynsym, elf::kFlagAlloc, kDynsym, elf::kSym32Bytes, dynsym, 0},
                     {elf::kSectionNobits, elf::kFlagAlloc | kWrite, kBss, 0, {}, 0x100},
                     {elf::kSectionSymtab, 0, 0, elf::kSym32Bytes, symtab, 0}};
    const WrittenElf written = WriteElf(spec);
    Sample sample = FromElf("elf32", spec, written);
    std::sort(sample.sections.begin(), sample.sections.end(),
              [](const Section& a, const Section& b) { return a.fileOffset < b.fileOffset; });
    for (uint64_t entry = 0; entry < 4; ++entry) {
        sample.absolute.push_back(At(sample, 3, entry * elf::kRel32Bytes));
    }
    sample.absolute.push_back(At(sample, 1, 0x0));
    sample.absolute.push_back(At(sample, 2, 0xC));
    sample.absolute.push_back(At(sample, 4, 2 * elf::kSym32Bytes + elf::kSym32Value));
    sample.absolute.push_back(At(sample, 4, 5 * elf::kSym32Bytes + elf::kSym32Value));
    sample.absolute.push_back(At(sample, 6, elf::kSym32Value));
    SortFields(sample);
    return sample;
}

namespace {

ElfSpec Elf64Spec() {
    ElfSpec spec;
    spec.is64 = true;
    spec.machine = elf::kMachineX86_64;
    spec.type = elf::kTypeExecutable;
    spec.entry = 0x401000;
    Bytes text(0x80, 0x90), data(0x40, 0);
    Put64(data, 0, 0x401010);
    spec.sections = {{1, elf::kFlagAlloc | elf::kFlagExecInstr, 0x401000, 0, text, 0},
                     {1, elf::kFlagAlloc | kWrite, 0x403000, 0, data, 0},
                     {elf::kSectionNobits, elf::kFlagAlloc | kWrite, 0x404000, 0, {}, 0x80}};
    return spec;
}

} // namespace

Sample SampleElf64() {
    const ElfSpec spec = Elf64Spec();
    return FromElf("elf64", spec, WriteElf(spec));
}

Sample SampleElf64WithoutSections() {
    ElfSpec spec = Elf64Spec();
    spec.sectionHeaders = false;
    return FromElf("elf64-segments", spec, WriteElf(spec));
}

std::vector<Sample> AllSamples() {
    return {SamplePe(), SampleStrippedPe(), SampleElf32(), SampleElf64(),
            SampleElf64WithoutSections()};
}

} // namespace x86image::test
