#include "ImageWriter.h"

#include "ElfFormat.h"
#include "PeFormat.h"

#include <algorithm>

namespace x86image::test {

namespace {

constexpr uint64_t kPeHeaderBytes = 0x400;
constexpr uint64_t kPeFileAlignment = 0x200;
constexpr uint64_t kPeNewHeader = 0x80;
constexpr uint64_t kPeOptionalHeaderBytes = pe::kDataDirectories + 16 * pe::kDataDirectoryBytes;

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void PutBytes(Bytes& bytes, uint64_t at, const Bytes& data) {
    if (bytes.size() < at + data.size()) {
        bytes.resize(at + data.size());
    }
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
}

void PutWord(Bytes& bytes, uint64_t at, uint64_t value, bool wide) {
    if (wide) {
        Put64(bytes, at, value);
    } else {
        Put32(bytes, at, static_cast<uint32_t>(value));
    }
}

} // namespace

void Put16(Bytes& bytes, uint64_t at, uint16_t value) {
    PutBytes(bytes, at, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
}

void Put32(Bytes& bytes, uint64_t at, uint32_t value) {
    Put16(bytes, at, static_cast<uint16_t>(value));
    Put16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

void Put64(Bytes& bytes, uint64_t at, uint64_t value) {
    Put32(bytes, at, static_cast<uint32_t>(value));
    Put32(bytes, at + 4, static_cast<uint32_t>(value >> 32));
}

WrittenPe WritePe(const PeSpec& spec) {
    WrittenPe out;
    Bytes& bytes = out.bytes;
    bytes.assign(kPeHeaderBytes, 0);
    Put16(bytes, 0, pe::kDosMagic);
    Put32(bytes, pe::kDosNewHeaderOffset, static_cast<uint32_t>(kPeNewHeader));
    Put32(bytes, kPeNewHeader, pe::kSignature);
    out.fileHeader = kPeNewHeader + pe::kFileHeaderOffset;
    Put16(bytes, out.fileHeader + pe::kMachine, pe::kMachineI386);
    Put16(bytes, out.fileHeader + pe::kNumberOfSections,
          static_cast<uint16_t>(spec.sections.size()));
    Put16(bytes, out.fileHeader + pe::kSizeOfOptionalHeader,
          static_cast<uint16_t>(kPeOptionalHeaderBytes));
    Put16(bytes, out.fileHeader + pe::kCharacteristics, spec.characteristics);
    out.optionalHeader = out.fileHeader + pe::kFileHeaderBytes;
    Put16(bytes, out.optionalHeader + pe::kOptionalMagic, pe::kOptionalMagicPe32);
    Put32(bytes, out.optionalHeader + pe::kImageBase, spec.imageBase);
    Put32(bytes, out.optionalHeader + pe::kNumberOfRvaAndSizes, 16);
    for (size_t index = 0; index < spec.directories.size(); ++index) {
        const uint64_t at = out.optionalHeader + pe::kDataDirectories + index * 8;
        Put32(bytes, at, spec.directories[index].rva);
        Put32(bytes, at + 4, spec.directories[index].size);
    }
    out.sectionTable = out.optionalHeader + kPeOptionalHeaderBytes;
    uint64_t next = kPeHeaderBytes;
    for (size_t index = 0; index < spec.sections.size(); ++index) {
        const PeSectionSpec& section = spec.sections[index];
        const uint64_t header = out.sectionTable + index * pe::kSectionHeaderBytes;
        const uint64_t rawSize = AlignUp(section.data.size(), kPeFileAlignment);
        const uint32_t virtualSize = section.virtualSize != 0
                                         ? section.virtualSize
                                         : static_cast<uint32_t>(section.data.size());
        Put32(bytes, header + pe::kVirtualSize, virtualSize);
        Put32(bytes, header + pe::kVirtualAddress, section.rva);
        Put32(bytes, header + pe::kSizeOfRawData, static_cast<uint32_t>(rawSize));
        Put32(bytes, header + pe::kPointerToRawData, static_cast<uint32_t>(next));
        Put32(bytes, header + pe::kSectionCharacteristics, section.characteristics);
        out.sectionOffsets.push_back(next);
        PutBytes(bytes, next, section.data);
        next += rawSize;
        bytes.resize(next);
    }
    return out;
}

WrittenElf WriteElf(const ElfSpec& spec) {
    const elf::ClassLayout& format = spec.is64 ? elf::kElf64 : elf::kElf32;
    const bool wide = spec.is64;
    WrittenElf out;
    Bytes& bytes = out.bytes;
    bytes.assign(format.headerBytes, 0);
    Put32(bytes, 0, elf::kMagic);
    bytes[elf::kIdentClass] = spec.is64 ? elf::kClass64 : elf::kClass32;
    bytes[elf::kIdentData] = elf::kDataLittleEndian;
    bytes[elf::kIdentVersion] = elf::kVersionCurrent;
    Put16(bytes, elf::kType, spec.type);
    Put16(bytes, elf::kMachine, spec.machine);
    Put32(bytes, 20, 1); // e_version
    PutWord(bytes, 24, spec.entry, wide);

    std::vector<size_t> loaded;
    for (size_t index = 0; index < spec.sections.size(); ++index) {
        const ElfSectionSpec& section = spec.sections[index];
        if ((section.flags & elf::kFlagAlloc) != 0 && section.type != elf::kSectionNobits) {
            loaded.push_back(index);
        }
    }
    uint64_t next = format.headerBytes;
    if (spec.programHeaders) {
        out.programHeaderTable = next;
        next += loaded.size() * format.programHeaderBytes;
    }
    for (const ElfSectionSpec& section : spec.sections) {
        next = AlignUp(next, 16);
        out.sectionOffsets.push_back(next);
        PutBytes(bytes, next, section.data);
        next += section.data.size();
    }
    bytes.resize(next);
    if (spec.programHeaders) {
        PutWord(bytes, format.phoff, out.programHeaderTable, wide);
        Put16(bytes, format.phentsize, static_cast<uint16_t>(format.programHeaderBytes));
        Put16(bytes, format.phnum, static_cast<uint16_t>(loaded.size()));
        for (size_t slot = 0; slot < loaded.size(); ++slot) {
            const ElfSectionSpec& section = spec.sections[loaded[slot]];
            const uint64_t at = out.programHeaderTable + slot * format.programHeaderBytes;
            Put32(bytes, at + format.pType, elf::kSegmentLoad);
            const bool executable = (section.flags & elf::kFlagExecInstr) != 0;
            Put32(bytes, at + format.pFlags, executable ? elf::kSegmentExecute | 4 : 4);
            PutWord(bytes, at + format.pOffset, out.sectionOffsets[loaded[slot]], wide);
            PutWord(bytes, at + format.pVaddr, section.address, wide);
            PutWord(bytes, at + format.pFilesz, section.data.size(), wide);
        }
    }
    if (spec.sectionHeaders) {
        out.sectionHeaderTable = AlignUp(next, 16);
        const uint64_t count = spec.sections.size() + 1;
        bytes.resize(out.sectionHeaderTable + count * format.sectionHeaderBytes);
        PutWord(bytes, format.shoff, out.sectionHeaderTable, wide);
        Put16(bytes, format.shentsize, static_cast<uint16_t>(format.sectionHeaderBytes));
        Put16(bytes, format.shnum, static_cast<uint16_t>(count));
        for (size_t index = 0; index < spec.sections.size(); ++index) {
            const ElfSectionSpec& section = spec.sections[index];
            const uint64_t at = out.sectionHeaderTable + (index + 1) * format.sectionHeaderBytes;
            const uint64_t size =
                section.type == elf::kSectionNobits ? section.nobitsSize : section.data.size();
            Put32(bytes, at + format.shType, section.type);
            PutWord(bytes, at + format.shFlags, section.flags, wide);
            PutWord(bytes, at + format.shAddr, section.address, wide);
            PutWord(bytes, at + format.shOffset, out.sectionOffsets[index], wide);
            PutWord(bytes, at + format.shSize, size, wide);
            PutWord(bytes, at + format.shEntsize, section.entrySize, wide);
        }
    }
    return out;
}

} // namespace x86image::test
