#include "PeImage.h"

#include "PeFormat.h"
#include "Refusal.h"

#include <algorithm>

namespace x86image {

using plumbing::Refuse;

namespace {

constexpr uint64_t kLastRva = UINT32_MAX;

struct Headers {
    uint64_t optionalHeader = 0;
    uint16_t sizeOfOptionalHeader = 0;
    uint16_t numberOfSections = 0;
    uint16_t characteristics = 0;
    uint32_t imageBase = 0;
    uint32_t numberOfDirectories = 0;
};

bool ReadHeaders(ImageBytes& bytes, Headers& headers, std::string& why) {
    uint32_t newHeader = 0;
    uint32_t signature = 0;
    if (!bytes.U32(pe::kDosNewHeaderOffset, newHeader) || !bytes.U32(newHeader, signature) ||
        signature != pe::kSignature) {
        return Refuse(why, "no PE signature");
    }
    const uint64_t fileHeader = uint64_t{newHeader} + pe::kFileHeaderOffset;
    uint16_t machine = 0;
    if (!bytes.U16(fileHeader + pe::kMachine, machine) ||
        !bytes.U16(fileHeader + pe::kNumberOfSections, headers.numberOfSections) ||
        !bytes.U16(fileHeader + pe::kSizeOfOptionalHeader, headers.sizeOfOptionalHeader) ||
        !bytes.U16(fileHeader + pe::kCharacteristics, headers.characteristics)) {
        return Refuse(why, "PE file header truncated");
    }
    if (machine != pe::kMachineI386) {
        return Refuse(why, "PE image not for i386");
    }
    headers.optionalHeader = fileHeader + pe::kFileHeaderBytes;
    uint16_t magic = 0;
    if (headers.sizeOfOptionalHeader < pe::kDataDirectories ||
        !bytes.Holds(headers.optionalHeader, headers.sizeOfOptionalHeader) ||
        !bytes.U16(headers.optionalHeader + pe::kOptionalMagic, magic)) {
        return Refuse(why, "PE optional header truncated");
    }
    if (magic != pe::kOptionalMagicPe32) {
        return Refuse(why, "PE optional header not PE32");
    }
    uint32_t stated = 0;
    if (!bytes.U32(headers.optionalHeader + pe::kImageBase, headers.imageBase) ||
        !bytes.U32(headers.optionalHeader + pe::kNumberOfRvaAndSizes, stated)) {
        return Refuse(why, "PE optional header truncated");
    }
    // Only the directories that both the count and the header's size leave room for.
    const uint32_t room = static_cast<uint32_t>(
        (headers.sizeOfOptionalHeader - pe::kDataDirectories) / pe::kDataDirectoryBytes);
    headers.numberOfDirectories = std::min({stated, room, pe::kMaxDataDirectories});
    return true;
}

pe::DataDirectory ReadDirectory(ImageBytes& bytes, const Headers& headers, uint32_t index) {
    pe::DataDirectory directory;
    const uint64_t at =
        headers.optionalHeader + pe::kDataDirectories + index * pe::kDataDirectoryBytes;
    if (index >= headers.numberOfDirectories || !bytes.U32(at, directory.rva) ||
        !bytes.U32(at + 4, directory.size)) {
        return {};
    }
    return directory;
}

bool ReadSections(ImageBytes& bytes, const Headers& headers, ImageLayout& layout,
                  std::string& why) {
    if (headers.numberOfSections > kMaxSections) {
        return Refuse(why, "more PE sections than the cap");
    }
    const uint64_t table = headers.optionalHeader + headers.sizeOfOptionalHeader;
    if (!bytes.Holds(table, headers.numberOfSections * pe::kSectionHeaderBytes)) {
        return Refuse(why, "PE section table beyond the file");
    }
    SectionList sections(bytes.Size(), kLastRva);
    for (uint64_t index = 0; index < headers.numberOfSections; ++index) {
        const uint64_t header = table + index * pe::kSectionHeaderBytes;
        uint32_t virtualSize = 0, address = 0, rawSize = 0, rawOffset = 0, characteristics = 0;
        if (!bytes.U32(header + pe::kVirtualSize, virtualSize) ||
            !bytes.U32(header + pe::kVirtualAddress, address) ||
            !bytes.U32(header + pe::kSizeOfRawData, rawSize) ||
            !bytes.U32(header + pe::kPointerToRawData, rawOffset) ||
            !bytes.U32(header + pe::kSectionCharacteristics, characteristics)) {
            return Refuse(why, "PE section table unreadable");
        }
        // Raw data is padded to the file alignment; the virtual size says how much is real.
        const uint32_t size = virtualSize != 0 ? std::min(rawSize, virtualSize) : rawSize;
        const bool executable = (characteristics & (pe::kScnMemExecute | pe::kScnCntCode)) != 0;
        sections.Add(rawOffset, address, size, executable);
    }
    return sections.Finish(layout, why);
}

// Every HIGHLOW entry of the base relocation blocks names an absolute field. The walk ends
// at the first block whose size is impossible: what follows it cannot be located.
bool CollectRelocations(ImageBytes& bytes, const AddressTranslator& addresses,
                        pe::DataDirectory directory, ReferenceCollector& found) {
    uint64_t start = 0;
    uint64_t available = 0;
    if (!addresses.FileSpanAt(directory.rva, start, available)) {
        return true;
    }
    const uint64_t end = start + std::min<uint64_t>(directory.size, available);
    uint64_t block = start;
    while (end - block >= pe::kRelocBlockHeaderBytes) {
        uint32_t page = 0;
        uint32_t blockSize = 0;
        if (!bytes.U32(block, page) || !bytes.U32(block + 4, blockSize) ||
            blockSize < pe::kRelocBlockHeaderBytes || blockSize > end - block) {
            break;
        }
        const uint64_t entries = (blockSize - pe::kRelocBlockHeaderBytes) / 2;
        if (!found.Walk(entries)) {
            return false;
        }
        for (uint64_t index = 0; index < entries; ++index) {
            uint16_t entry = 0;
            // In the file: only a failed source read or a stop fails it, and ends the walk.
            if (!bytes.U16(block + pe::kRelocBlockHeaderBytes + 2 * index, entry)) {
                return true;
            }
            uint64_t field = 0;
            if (entry >> pe::kRelocTypeShift == pe::kRelBasedHighLow &&
                addresses.FileOffsetOfField(uint64_t{page} + (entry & pe::kRelocOffsetMask),
                                            ReferenceCollector::kFieldBytes, field) &&
                !found.AddAbsolute(field)) {
                return false;
            }
        }
        block += blockSize;
    }
    return true;
}

// Without relocations the only clue is the value: an aligned word of data that points into
// the image once the image base is taken off. Code is left out, where such a match is
// mostly chance.
bool ScanForAddresses(ImageBytes& bytes, const ImageLayout& layout,
                      const AddressTranslator& addresses, ReferenceCollector& found) {
    const uint64_t imageBase = layout.imageBase;
    for (const Section& section : layout.sections) {
        if (section.executable) {
            continue;
        }
        const uint64_t end = section.fileOffset + section.size;
        for (uint64_t at = (section.fileOffset + 3) & ~uint64_t{3};
             at < end && end - at >= ReferenceCollector::kFieldBytes; at += 4) {
            uint32_t value = 0;
            uint64_t ignored = 0;
            if (!bytes.U32(at, value)) {
                return true; // as for the relocations
            }
            if (value >= imageBase && addresses.FileOffsetOf(value - imageBase, ignored) &&
                !found.AddAbsolute(at)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool ParsePe32(ImageBytes& bytes, ImageLayout& layout, ReferenceCollector& found,
               std::string& why) {
    Headers headers;
    if (!ReadHeaders(bytes, headers, why) || !ReadSections(bytes, headers, layout, why)) {
        return false;
    }
    layout.kind = ImageKind::Pe32;
    layout.imageBase = headers.imageBase;
    const AddressTranslator addresses(layout);

    const pe::DataDirectory relocations = ReadDirectory(bytes, headers, pe::kBaseRelocDirectory);
    const bool stripped = (headers.characteristics & pe::kRelocsStripped) != 0 ||
                          relocations.rva == 0 || relocations.size == 0;
    const bool ok =
        (stripped ? ScanForAddresses(bytes, layout, addresses, found)
                  : CollectRelocations(bytes, addresses, relocations, found)) &&
        pe::CollectExportFields(bytes, addresses,
                                ReadDirectory(bytes, headers, pe::kExportDirectory), found) &&
        pe::CollectImportFields(bytes, addresses,
                                ReadDirectory(bytes, headers, pe::kImportDirectory), found);
    if (!ok) {
        why = found.WhyFull();
    }
    return ok;
}

} // namespace x86image
