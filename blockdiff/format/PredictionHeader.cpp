#include "PredictionHeader.h"

#include "BlockFormat.h"
#include "LittleEndian.h"

#include <string>

namespace blockdiff {

void AppendPredictionHeader(uint8_t version, const x86image::ImageLayout& layout,
                            std::vector<uint8_t>& out) {
    out.push_back(version);
    out.push_back(static_cast<uint8_t>(layout.kind));
    plumbing::AppendLittleEndian(out, layout.imageBase, 8);
    out.push_back(static_cast<uint8_t>(layout.sections.size()));
    for (const x86image::Section& section : layout.sections) {
        plumbing::AppendLittleEndian(out, section.fileOffset, 4);
        plumbing::AppendLittleEndian(out, section.size, 4);
        plumbing::AppendLittleEndian(out, section.address, 8);
        out.push_back(section.executable ? format::kSectionExecutable : 0);
    }
}

bool ParsePredictionFixed(const uint8_t* bytes, uint64_t offset, uint8_t& version,
                          x86image::ImageLayout& layout, size_t& sections, Failure& failure) {
    version = bytes[0];
    PLUMBING_FAIL_IF(
        version < format::kFirstPredictorVersion || version > format::kPredictorVersion, failure,
        Error::Corrupt, "predictor version " + std::to_string(version) + " is unknown", offset);
    const uint8_t kind = bytes[1];
    PLUMBING_FAIL_IF(kind < static_cast<uint8_t>(x86image::ImageKind::Pe32) ||
                         kind > static_cast<uint8_t>(x86image::ImageKind::Elf64X86),
                     failure, Error::Corrupt, "unknown image kind " + std::to_string(kind),
                     offset + 1);
    layout.kind = static_cast<x86image::ImageKind>(kind);
    layout.imageBase = plumbing::LoadLittleEndian(bytes + 2, 8);
    sections = bytes[10];
    PLUMBING_FAIL_IF(sections > x86image::kMaxSections, failure, Error::TooLarge,
                     std::to_string(sections) + " sections in the new image", offset + 10);
    layout.sections.clear();
    return true;
}

bool ParsePredictionSections(const uint8_t* bytes, size_t count, uint64_t offset,
                             x86image::ImageLayout& layout, Failure& failure) {
    uint64_t previousEnd = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* field = bytes + i * format::kPredictionSectionBytes;
        const uint64_t at = offset + i * format::kPredictionSectionBytes;
        x86image::Section section;
        section.fileOffset = plumbing::LoadLittleEndian(field, 4);
        section.size = plumbing::LoadLittleEndian(field + 4, 4);
        section.address = plumbing::LoadLittleEndian(field + 8, 8);
        PLUMBING_FAIL_IF((field[16] & ~format::kSectionExecutable) != 0, failure, Error::Corrupt,
                         "unknown section flags", at + 16);
        section.executable = (field[16] & format::kSectionExecutable) != 0;
        PLUMBING_FAIL_IF(section.size == 0 || section.fileOffset < previousEnd ||
                             section.fileOffset + section.size > format::kMaxPredictedFileSize ||
                             section.address + section.size < section.address,
                         failure, Error::Corrupt, "a section of the new image out of order", at);
        previousEnd = section.fileOffset + section.size;
        layout.sections.push_back(section);
    }
    return true;
}

bool KeepPredictedFields(uint8_t version, x86image::ImageReferences& references) {
    if (version < 2) {
        references.pcRelative = {};
    }
    return references.absolute.size() + references.relativeToBase.size() +
               references.pcRelative.size() <=
           format::kMaxPredictedReferences;
}

} // namespace blockdiff
