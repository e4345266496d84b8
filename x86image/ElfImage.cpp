#include "ElfImage.h"

#include "ElfFormat.h"
#include "Refusal.h"

#include <vector>

namespace x86image {

using plumbing::Refuse;

namespace {

// Section and program header counts are 16-bit; more than that comes only from the extended
// numbering, which no executable of ours needs.
constexpr uint64_t kMaxSectionHeaders = 0xFFFF;

struct ElfSection {
    uint32_t type = 0;
    uint64_t flags = 0;
    uint64_t address = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint64_t entrySize = 0;
};

class ElfReader {
public:
    ElfReader(ImageBytes& bytes, const elf::ClassLayout& format) : bytes_(bytes), format_(format) {}

    // An address, offset or size: the class's width.
    bool Word(uint64_t at, uint64_t& value) {
        if (format_.addressBytes == 8) {
            return bytes_.U64(at, value);
        }
        uint32_t narrow = 0;
        const bool ok = bytes_.U32(at, narrow);
        value = narrow;
        return ok;
    }

    bool ReadSectionHeaders(std::vector<ElfSection>& sections, std::string& why);
    bool ReadLoadSegments(SectionList& list, std::string& why);

private:
    // The table at the header's `offsetField` with counts and entry sizes from the header;
    // false when it does not fit the file.
    bool Table(uint64_t offsetField, uint64_t sizeField, uint64_t countField, uint64_t entryBytes,
               uint64_t& offset, uint64_t& entrySize, uint64_t& count);

    ImageBytes& bytes_;
    const elf::ClassLayout& format_;
};

bool ElfReader::Table(uint64_t offsetField, uint64_t sizeField, uint64_t countField,
                      uint64_t entryBytes, uint64_t& offset, uint64_t& entrySize, uint64_t& count) {
    uint16_t size = 0;
    uint16_t number = 0;
    if (!Word(offsetField, offset) || !bytes_.U16(sizeField, size) ||
        !bytes_.U16(countField, number)) {
        return false;
    }
    entrySize = size;
    count = offset == 0 ? 0 : number;
    return count == 0 || (entrySize >= entryBytes && bytes_.Holds(offset, count * entrySize));
}

bool ElfReader::ReadSectionHeaders(std::vector<ElfSection>& sections, std::string& why) {
    uint64_t table = 0, entrySize = 0, count = 0;
    if (!Table(format_.shoff, format_.shentsize, format_.shnum, format_.sectionHeaderBytes, table,
               entrySize, count)) {
        return Refuse(why, "ELF section header table beyond the file");
    }
    if (table != 0 && count == 0) {
        // Extended numbering: the real count is in the first header's size.
        if (!bytes_.Holds(table, format_.sectionHeaderBytes) ||
            !Word(table + format_.shSize, count)) {
            return Refuse(why, "ELF section header table beyond the file");
        }
        if (count > kMaxSectionHeaders) {
            return Refuse(why, "more ELF section headers than the cap");
        }
        entrySize = format_.sectionHeaderBytes;
        if (!bytes_.Holds(table, count * entrySize)) {
            return Refuse(why, "ELF section header table beyond the file");
        }
    }
    sections.resize(static_cast<size_t>(count));
    for (uint64_t index = 0; index < count; ++index) {
        const uint64_t at = table + index * entrySize;
        ElfSection& section = sections[static_cast<size_t>(index)];
        if (!bytes_.U32(at + format_.shType, section.type) ||
            !Word(at + format_.shFlags, section.flags) ||
            !Word(at + format_.shAddr, section.address) ||
            !Word(at + format_.shOffset, section.offset) ||
            !Word(at + format_.shSize, section.size) ||
            !Word(at + format_.shEntsize, section.entrySize)) {
            return Refuse(why, "ELF section header unreadable");
        }
    }
    return true;
}

bool ElfReader::ReadLoadSegments(SectionList& list, std::string& why) {
    uint64_t table = 0, entrySize = 0, count = 0;
    if (!Table(format_.phoff, format_.phentsize, format_.phnum, format_.programHeaderBytes, table,
               entrySize, count)) {
        return Refuse(why, "ELF program header table beyond the file");
    }
    for (uint64_t index = 0; index < count; ++index) {
        const uint64_t at = table + index * entrySize;
        uint32_t type = 0, flags = 0;
        uint64_t offset = 0, address = 0, size = 0;
        if (!bytes_.U32(at + format_.pType, type) || !bytes_.U32(at + format_.pFlags, flags) ||
            !Word(at + format_.pOffset, offset) || !Word(at + format_.pVaddr, address) ||
            !Word(at + format_.pFilesz, size)) {
            return Refuse(why, "ELF program header unreadable");
        }
        if (type == elf::kSegmentLoad) {
            list.Add(offset, address, size, (flags & elf::kSegmentExecute) != 0);
        }
    }
    return true;
}

// The entries of a table section, as many as its size and the file hold.
uint64_t EntriesInFile(const ElfSection& section, uint64_t entryBytes, uint64_t fileSize) {
    if (section.entrySize != 0 && section.entrySize != entryBytes) {
        return 0;
    }
    if (section.offset >= fileSize) {
        return 0;
    }
    const uint64_t bytes =
        section.size < fileSize - section.offset ? section.size : fileSize - section.offset;
    return bytes / entryBytes;
}

// Each REL entry's r_offset holds an address; for RELATIVE and JMP_SLOT the slot it names
// holds one too.
bool CollectRel32(ImageBytes& bytes, const AddressTranslator& addresses, const ElfSection& section,
                  ReferenceCollector& found) {
    const uint64_t entries = EntriesInFile(section, elf::kRel32Bytes, bytes.Size());
    if (!found.Walk(entries)) {
        return false;
    }
    for (uint64_t index = 0; index < entries; ++index) {
        const uint64_t entry = section.offset + index * elf::kRel32Bytes;
        uint32_t slot = 0, info = 0;
        uint64_t slotOffset = 0;
        if (!bytes.U32(entry, slot) || !bytes.U32(entry + elf::kRel32Info, info)) {
            return true;
        }
        if (!found.AddAbsolute(entry)) {
            return false;
        }
        const uint8_t type = static_cast<uint8_t>(info);
        if ((type == elf::kRel386Relative || type == elf::kRel386JmpSlot) &&
            addresses.FileOffsetOfField(slot, ReferenceCollector::kFieldBytes, slotOffset) &&
            !found.AddAbsolute(slotOffset)) {
            return false;
        }
    }
    return true;
}

// A defined symbol's value is an address, unless its section index is a reserved one
// (absolute values, common blocks) or it is thread-local (an offset in the TLS block).
bool CollectSymbols32(ImageBytes& bytes, const ElfSection& section, ReferenceCollector& found) {
    const uint64_t entries = EntriesInFile(section, elf::kSym32Bytes, bytes.Size());
    if (!found.Walk(entries)) {
        return false;
    }
    for (uint64_t index = 0; index < entries; ++index) {
        const uint64_t symbol = section.offset + index * elf::kSym32Bytes;
        uint32_t value = 0;
        uint8_t info = 0;
        uint16_t sectionIndex = 0;
        if (!bytes.U32(symbol + elf::kSym32Value, value) ||
            !bytes.U8(symbol + elf::kSym32Info, info) ||
            !bytes.U16(symbol + elf::kSym32Shndx, sectionIndex)) {
            return true;
        }
        const bool defined = sectionIndex != elf::kSectionUndefined &&
                             sectionIndex < elf::kSectionLoReserve && value != 0 &&
                             (info & 0xF) != elf::kSymbolTypeTls;
        if (defined && !found.AddAbsolute(symbol + elf::kSym32Value)) {
            return false;
        }
    }
    return true;
}

bool CollectElf32Fields(ImageBytes& bytes, const AddressTranslator& addresses,
                        const std::vector<ElfSection>& sections, ReferenceCollector& found) {
    for (const ElfSection& section : sections) {
        const bool ok = section.type == elf::kSectionRel
                            ? CollectRel32(bytes, addresses, section, found)
                        : section.type == elf::kSectionSymtab || section.type == elf::kSectionDynsym
                            ? CollectSymbols32(bytes, section, found)
                            : true;
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool ReadIdentity(ImageBytes& bytes, ImageKind& kind, std::string& why) {
    uint8_t fileClass = 0, data = 0, version = 0;
    uint16_t type = 0, machine = 0;
    if (!bytes.U8(elf::kIdentClass, fileClass) || !bytes.U8(elf::kIdentData, data) ||
        !bytes.U8(elf::kIdentVersion, version) || !bytes.U16(elf::kType, type) ||
        !bytes.U16(elf::kMachine, machine)) {
        return Refuse(why, "ELF header truncated");
    }
    if (data != elf::kDataLittleEndian || version != elf::kVersionCurrent) {
        return Refuse(why, "ELF image not little-endian version 1");
    }
    // Relocatable objects hold section offsets where images hold addresses.
    if (type != elf::kTypeExecutable && type != elf::kTypeSharedObject) {
        return Refuse(why, "ELF file neither an executable nor a shared object");
    }
    if (fileClass == elf::kClass32 && machine == elf::kMachine386) {
        kind = ImageKind::Elf32X86;
    } else if (fileClass == elf::kClass64 && machine == elf::kMachineX86_64) {
        kind = ImageKind::Elf64X86;
    } else {
        return Refuse(why, "ELF image not for i386 or x86-64");
    }
    return true;
}

} // namespace

bool ParseElf(ImageBytes& bytes, ImageLayout& layout, ReferenceCollector& found, std::string& why) {
    ImageKind kind = ImageKind::Elf32X86;
    if (!ReadIdentity(bytes, kind, why)) {
        return false;
    }
    const elf::ClassLayout& format = kind == ImageKind::Elf32X86 ? elf::kElf32 : elf::kElf64;
    if (!bytes.Holds(0, format.headerBytes)) {
        return Refuse(why, "ELF header truncated");
    }
    ElfReader reader(bytes, format);
    std::vector<ElfSection> sections;
    if (!reader.ReadSectionHeaders(sections, why)) {
        return false;
    }
    const uint64_t lastAddress = format.addressBytes == 8 ? UINT64_MAX : UINT32_MAX;
    SectionList list(bytes.Size(), lastAddress);
    for (const ElfSection& section : sections) {
        if ((section.flags & elf::kFlagAlloc) != 0 && section.type != elf::kSectionNobits) {
            list.Add(section.offset, section.address, section.size,
                     (section.flags & elf::kFlagExecInstr) != 0);
        }
    }
    // Without section headers, or none that maps file bytes, the segments tell the layout.
    if (list.Empty() && !reader.ReadLoadSegments(list, why)) {
        return false;
    }
    if (!list.Finish(layout, why)) {
        return false;
    }
    layout.kind = kind;
    layout.imageBase = 0;
    // ELF64 keeps its addresses in 8-byte fields, which the 4-byte lists do not describe.
    if (kind == ImageKind::Elf32X86 &&
        !CollectElf32Fields(bytes, AddressTranslator(layout), sections, found)) {
        why = found.WhyFull();
        return false;
    }
    return true;
}

} // namespace x86image
