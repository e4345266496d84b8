#pragma once
// Writes small PE32 and ELF images from a description, for the tests and the fuzz seeds; it
// reports where it put each part so that a test can state the fields it expects.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace x86image::test {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& bytes, uint64_t at, uint16_t value);
void Put32(Bytes& bytes, uint64_t at, uint32_t value);
void Put64(Bytes& bytes, uint64_t at, uint64_t value);

struct PeSectionSpec {
    uint32_t rva = 0;
    uint32_t virtualSize = 0; // 0: the size of `data`
    uint32_t characteristics = 0;
    Bytes data;
};

struct PeDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

struct PeSpec {
    uint32_t imageBase = 0x400000;
    uint16_t characteristics = 0x0102; // executable, 32-bit machine
    std::vector<PeSectionSpec> sections;
    std::array<PeDirectory, 16> directories{};
};

struct WrittenPe {
    Bytes bytes;
    uint64_t fileHeader = 0; // after the signature
    uint64_t optionalHeader = 0;
    uint64_t sectionTable = 0;
    std::vector<uint64_t> sectionOffsets; // where each section's data begins in the file
};

// Headers in the first 0x400 bytes (room for up to 16 sections), each section's data at the
// next multiple of 0x200.
WrittenPe WritePe(const PeSpec& spec);

struct ElfSectionSpec {
    uint32_t type = 1; // PROGBITS
    uint64_t flags = 0;
    uint64_t address = 0;
    uint64_t entrySize = 0;
    Bytes data; // empty for NOBITS
    uint64_t nobitsSize = 0;
};

struct ElfSpec {
    bool is64 = false;
    uint16_t machine = 3;
    uint16_t type = 3; // shared object
    uint64_t entry = 0;
    std::vector<ElfSectionSpec> sections; // the null section 0 is added in front
    bool sectionHeaders = true;
    bool programHeaders = true; // one PT_LOAD per allocated section with file bytes
};

struct WrittenElf {
    Bytes bytes;
    uint64_t sectionHeaderTable = 0; // 0 when left out
    uint64_t programHeaderTable = 0;
    std::vector<uint64_t> sectionOffsets; // of sections[i], not counting the null one
};

// The ELF header, the program headers, each section's data 16-aligned, the section headers.
WrittenElf WriteElf(const ElfSpec& spec);

} // namespace x86image::test
