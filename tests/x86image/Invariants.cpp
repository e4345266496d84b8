#include "Invariants.h"

#include "AddressTranslator.h"

namespace x86image::test {

namespace {

std::string ListProblem(const std::vector<uint32_t>& fields, uint64_t fileSize) {
    for (size_t index = 0; index < fields.size(); ++index) {
        if (uint64_t{fields[index]} + 4 > fileSize) {
            return "field beyond the file";
        }
        if (index > 0 && fields[index] < uint64_t{fields[index - 1]} + 4) {
            return "fields unsorted or overlapping";
        }
    }
    return "";
}

std::string SectionProblem(const ImageLayout& layout, const AddressTranslator& translator,
                           size_t index, uint64_t fileSize) {
    const Section& section = layout.sections[index];
    if (section.size == 0 || section.fileOffset >= fileSize ||
        section.size > fileSize - section.fileOffset) {
        return "section empty or beyond the file";
    }
    if (index > 0) {
        const Section& before = layout.sections[index - 1];
        if (section.fileOffset - before.fileOffset < before.size) {
            return "sections unsorted or overlapping in the file";
        }
    }
    for (size_t other = 0; other < index; ++other) {
        const Section& earlier = layout.sections[other];
        const bool apart = section.address >= earlier.address
                               ? section.address - earlier.address >= earlier.size
                               : earlier.address - section.address >= section.size;
        if (!apart) {
            return "sections overlapping in the address space";
        }
    }
    const uint64_t last = section.size - 1;
    for (uint64_t step : {uint64_t{0}, last}) {
        uint64_t address = 0, fileOffset = 0;
        if (!translator.AddressOf(section.fileOffset + step, address) ||
            address != section.address + step || !translator.FileOffsetOf(address, fileOffset) ||
            fileOffset != section.fileOffset + step ||
            translator.IsExecutable(fileOffset) != section.executable) {
            return "section does not map both ways";
        }
    }
    return "";
}

// Whether a field of `fields` overlaps one of `other` (both sorted apart).
bool Overlap(const std::vector<uint32_t>& fields, const std::vector<uint32_t>& other) {
    size_t next = 0;
    for (uint32_t field : fields) {
        while (next < other.size() && uint64_t{other[next]} + 4 <= field) {
            ++next;
        }
        if (next < other.size() && other[next] < uint64_t{field} + 4) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string BrokenPromise(const ImageReferences& found, uint64_t fileSize) {
    if (found.layout.sections.empty() || found.layout.sections.size() > kMaxSections) {
        return "no sections or too many";
    }
    const AddressTranslator addresses(found.layout);
    for (size_t index = 0; index < found.layout.sections.size(); ++index) {
        std::string problem = SectionProblem(found.layout, addresses, index, fileSize);
        if (!problem.empty()) {
            return problem;
        }
    }
    if (found.absolute.size() + found.relativeToBase.size() + found.pcRelative.size() >
        kMaxReferences) {
        return "more fields than the cap";
    }
    for (const auto* list : {&found.absolute, &found.relativeToBase, &found.pcRelative}) {
        std::string problem = ListProblem(*list, fileSize);
        if (!problem.empty()) {
            return problem;
        }
    }
    if (Overlap(found.relativeToBase, found.absolute)) {
        return "a base-relative field overlaps an absolute one";
    }
    if (Overlap(found.pcRelative, found.absolute) ||
        Overlap(found.pcRelative, found.relativeToBase)) {
        return "a pc-relative field overlaps another";
    }
    return "";
}

} // namespace x86image::test
