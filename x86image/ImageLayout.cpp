#include "ImageLayout.h"

#include <algorithm>

namespace x86image {

namespace {

bool Overlap(uint64_t startA, uint64_t sizeA, uint64_t startB, uint64_t sizeB) {
    return startA < startB ? startB - startA < sizeA : startA - startB < sizeB;
}

} // namespace

SectionList::SectionList(uint64_t fileSize, uint64_t lastAddress)
    : fileSize_(fileSize), lastAddress_(lastAddress) {}

void SectionList::Add(uint64_t fileOffset, uint64_t address, uint64_t size, bool executable) {
    if (fileOffset >= fileSize_) {
        return;
    }
    size = std::min(size, fileSize_ - fileOffset);
    if (size == 0 || address > lastAddress_ || size - 1 > lastAddress_ - address) {
        return;
    }
    // Counted before anything is kept, so that a header claiming thousands of sections costs
    // no more than kMaxSections of them.
    if (++seen_ <= kMaxSections) {
        sections_.push_back({fileOffset, address, size, executable});
    }
}

bool SectionList::Finish(ImageLayout& layout, std::string& why) {
    if (seen_ > kMaxSections) {
        why = "more than " + std::to_string(kMaxSections) + " sections";
        return false;
    }
    // A total order: sections that compare equal are the same, so the one kept never
    // depends on how the sort treats ties.
    std::sort(sections_.begin(), sections_.end(), [](const Section& a, const Section& b) {
        if (a.fileOffset != b.fileOffset) {
            return a.fileOffset < b.fileOffset;
        }
        if (a.address != b.address) {
            return a.address < b.address;
        }
        return a.size != b.size ? a.size < b.size : a.executable < b.executable;
    });
    // A section that shares file bytes or addresses with one before it in file order is
    // dropped: the first one keeps them, so each offset and address maps one way only.
    layout.sections.clear();
    for (const Section& candidate : sections_) {
        const bool clashes =
            std::any_of(layout.sections.begin(), layout.sections.end(), [&](const Section& kept) {
                return Overlap(kept.fileOffset, kept.size, candidate.fileOffset, candidate.size) ||
                       Overlap(kept.address, kept.size, candidate.address, candidate.size);
            });
        if (!clashes) {
            layout.sections.push_back(candidate);
        }
    }
    if (layout.sections.empty()) {
        why = "no section holds file bytes";
        return false;
    }
    return true;
}

} // namespace x86image
