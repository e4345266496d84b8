#include "AddressTranslator.h"

#include <algorithm>

namespace x86image {

AddressTranslator::AddressTranslator(const ImageLayout& layout)
    : imageBase_(layout.imageBase), byOffset_(layout.sections), byAddress_(layout.sections) {
    std::stable_sort(byOffset_.begin(), byOffset_.end(), [](const Section& a, const Section& b) {
        return a.fileOffset < b.fileOffset;
    });
    std::stable_sort(byAddress_.begin(), byAddress_.end(),
                     [](const Section& a, const Section& b) { return a.address < b.address; });
    disjoint_ =
        Disjoint(byOffset_, &Section::fileOffset) && Disjoint(byAddress_, &Section::address);
}

bool AddressTranslator::Disjoint(const std::vector<Section>& sorted, uint64_t Section::*start) {
    for (size_t i = 1; i < sorted.size(); ++i) {
        const Section& before = sorted[i - 1];
        if (sorted[i].*start <= before.*start || sorted[i].*start - before.*start < before.size) {
            return false;
        }
    }
    return true;
}

const Section* AddressTranslator::SectionAround(uint64_t fileOffset, uint64_t& runEnd) const {
    auto after = std::upper_bound(byOffset_.begin(), byOffset_.end(), fileOffset,
                                  [](uint64_t at, const Section& s) { return at < s.fileOffset; });
    runEnd = after == byOffset_.end() ? UINT64_MAX : after->fileOffset;
    if (after == byOffset_.begin()) {
        return nullptr;
    }
    const Section& section = *std::prev(after);
    if (fileOffset - section.fileOffset >= section.size) {
        return nullptr;
    }
    runEnd = section.fileOffset + section.size;
    return &section;
}

bool AddressTranslator::AddressOf(uint64_t fileOffset, uint64_t& address) const {
    uint64_t runEnd = 0;
    const Section* section = SectionAround(fileOffset, runEnd);
    if (!section) {
        return false;
    }
    address = section->address + (fileOffset - section->fileOffset);
    return true;
}

bool AddressTranslator::IsExecutable(uint64_t fileOffset) const {
    uint64_t runEnd = 0;
    const Section* section = SectionAround(fileOffset, runEnd);
    return section && section->executable;
}

const Section* AddressTranslator::SectionAtAddress(uint64_t address) const {
    auto after = std::upper_bound(byAddress_.begin(), byAddress_.end(), address,
                                  [](uint64_t at, const Section& s) { return at < s.address; });
    if (after == byAddress_.begin()) {
        return nullptr;
    }
    const Section& section = *std::prev(after);
    return address - section.address < section.size ? &section : nullptr;
}

bool AddressTranslator::FileSpanAt(uint64_t address, uint64_t& fileOffset,
                                   uint64_t& available) const {
    const Section* section = SectionAtAddress(address);
    if (!section) {
        return false;
    }
    fileOffset = section->fileOffset + (address - section->address);
    available = section->size - (address - section->address);
    return true;
}

bool AddressTranslator::FileOffsetOf(uint64_t address, uint64_t& fileOffset) const {
    uint64_t available = 0;
    return FileSpanAt(address, fileOffset, available);
}

bool AddressTranslator::FileOffsetOfField(uint64_t address, uint64_t width,
                                          uint64_t& fileOffset) const {
    uint64_t available = 0;
    return FileSpanAt(address, fileOffset, available) && width <= available;
}

bool AddressTranslator::CodeOffsetOf(uint64_t address, uint64_t& fileOffset) const {
    const Section* section = SectionAtAddress(address);
    if (!section || !section->executable) {
        return false;
    }
    fileOffset = section->fileOffset + (address - section->address);
    return true;
}

bool AddressTranslator::AddressOfSearched(uint64_t fileOffset, uint64_t& address,
                                          const Section*& hint) const {
    uint64_t runEnd = 0;
    const Section* section = SectionAround(fileOffset, runEnd);
    if (!section) {
        return false;
    }
    hint = section;
    address = section->address + (fileOffset - section->fileOffset);
    return true;
}

bool AddressTranslator::CodeOffsetOfSearched(uint64_t address, uint64_t& fileOffset,
                                             const Section*& hint) const {
    const Section* section = SectionAtAddress(address);
    if (!section) {
        return false;
    }
    hint = section;
    fileOffset = section->fileOffset + (address - section->address);
    return section->executable;
}

} // namespace x86image
