#pragma once
// The PE32 structures the parser reads: offsets of fields within their structure. The test
// image writer builds its images from the same numbers.
#include <cstdint>

namespace x86image::pe {

constexpr uint16_t kDosMagic = 0x5A4D; // "MZ"
constexpr uint64_t kDosNewHeaderOffset = 0x3C;
constexpr uint32_t kSignature = 0x00004550; // "PE\0\0"
constexpr uint16_t kMachineI386 = 0x14C;
constexpr uint16_t kOptionalMagicPe32 = 0x10B;
constexpr uint16_t kRelocsStripped = 0x0001;

// File header, after the signature.
constexpr uint64_t kFileHeaderOffset = 4;
constexpr uint64_t kMachine = 0;
constexpr uint64_t kNumberOfSections = 2;
constexpr uint64_t kSizeOfOptionalHeader = 16;
constexpr uint64_t kCharacteristics = 18;
constexpr uint64_t kFileHeaderBytes = 20;

// Optional header (PE32).
constexpr uint64_t kOptionalMagic = 0;
constexpr uint64_t kImageBase = 28;
constexpr uint64_t kNumberOfRvaAndSizes = 92;
constexpr uint64_t kDataDirectories = 96;
constexpr uint64_t kDataDirectoryBytes = 8;
constexpr uint32_t kMaxDataDirectories = 16;
constexpr uint32_t kExportDirectory = 0;
constexpr uint32_t kImportDirectory = 1;
constexpr uint32_t kBaseRelocDirectory = 5;

// Section header.
constexpr uint64_t kSectionHeaderBytes = 40;
constexpr uint64_t kVirtualSize = 8;
constexpr uint64_t kVirtualAddress = 12;
constexpr uint64_t kSizeOfRawData = 16;
constexpr uint64_t kPointerToRawData = 20;
constexpr uint64_t kSectionCharacteristics = 36;
constexpr uint32_t kScnCntCode = 0x00000020;
constexpr uint32_t kScnMemExecute = 0x20000000;

// Base relocation block: page RVA, block size, then 16-bit entries (type << 12 | offset).
constexpr uint64_t kRelocBlockHeaderBytes = 8;
constexpr unsigned kRelocTypeShift = 12;
constexpr uint16_t kRelocOffsetMask = 0x0FFF;
constexpr unsigned kRelBasedHighLow = 3;

// Import descriptor.
constexpr uint64_t kImportDescriptorBytes = 20;
constexpr uint64_t kOriginalFirstThunk = 0;
constexpr uint64_t kImportTimeDateStamp = 4;
constexpr uint64_t kImportName = 12;
constexpr uint64_t kFirstThunk = 16;
constexpr uint32_t kOrdinalFlag = 0x80000000;

// Export directory.
constexpr uint64_t kExportDirectoryBytes = 40;
constexpr uint64_t kExportName = 12;
constexpr uint64_t kNumberOfFunctions = 20;
constexpr uint64_t kNumberOfNames = 24;
constexpr uint64_t kAddressOfFunctions = 28;
constexpr uint64_t kAddressOfNames = 32;
constexpr uint64_t kAddressOfNameOrdinals = 36;

} // namespace x86image::pe
