#pragma once
// The ELF structures the parser reads, for both classes: offsets of fields within their
// structure. The test image writer builds its images from the same numbers.
#include <cstdint>

namespace x86image::elf {

constexpr uint32_t kMagic = 0x464C457F; // "\x7f" "ELF"
constexpr uint64_t kIdentClass = 4;
constexpr uint64_t kIdentData = 5;
constexpr uint64_t kIdentVersion = 6;
constexpr uint8_t kClass32 = 1;
constexpr uint8_t kClass64 = 2;
constexpr uint8_t kDataLittleEndian = 1;
constexpr uint8_t kVersionCurrent = 1;

constexpr uint64_t kType = 16;
constexpr uint64_t kMachine = 18;
constexpr uint16_t kTypeExecutable = 2;
constexpr uint16_t kTypeSharedObject = 3;
constexpr uint16_t kMachine386 = 3;
constexpr uint16_t kMachineX86_64 = 62;

constexpr uint32_t kSectionSymtab = 2;
constexpr uint32_t kSectionNobits = 8;
constexpr uint32_t kSectionRel = 9;
constexpr uint32_t kSectionDynsym = 11;
constexpr uint64_t kFlagAlloc = 0x2;
constexpr uint64_t kFlagExecInstr = 0x4;
constexpr uint32_t kSegmentLoad = 1;
constexpr uint32_t kSegmentExecute = 0x1;

constexpr uint16_t kSectionUndefined = 0;
constexpr uint16_t kSectionLoReserve = 0xFF00; // ABS, COMMON and the like: no address
constexpr uint8_t kSymbolTypeTls = 6;          // its value is an offset in the TLS block

constexpr uint8_t kRel386JmpSlot = 7;
constexpr uint8_t kRel386Relative = 8;

// Where the fields of each structure lie in one class of file.
struct ClassLayout {
    uint64_t headerBytes;
    uint64_t phoff, shoff, phentsize, phnum, shentsize, shnum;
    uint64_t sectionHeaderBytes;
    uint64_t shType, shFlags, shAddr, shOffset, shSize, shEntsize;
    uint64_t programHeaderBytes;
    uint64_t pType, pFlags, pOffset, pVaddr, pFilesz;
    uint64_t addressBytes; // the width of addresses, offsets and sizes
};

constexpr ClassLayout kElf32{52, 28, 32, 42, 44, 46, 48, 40, 4,  8, 12,
                             16, 20, 36, 32, 0,  24, 4,  8,  16, 4};
constexpr ClassLayout kElf64{64, 32, 40, 54, 56, 58, 60, 64, 4,  8, 16,
                             24, 32, 56, 56, 0,  4,  8,  16, 32, 8};

// ELF32 REL entry and symbol (the only tables read for fields).
constexpr uint64_t kRel32Bytes = 8;
constexpr uint64_t kRel32Info = 4;
constexpr uint64_t kSym32Bytes = 16;
constexpr uint64_t kSym32Value = 4;
constexpr uint64_t kSym32Info = 12;
constexpr uint64_t kSym32Shndx = 14;

} // namespace x86image::elf
