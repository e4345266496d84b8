#pragma once
#include "ImageLayout.h"

#include <cstdint>
#include <vector>

namespace x86image {

// Answers every file offset <-> address question about one image, for the reader's walks
// over millions of fields and for the predictor alike: each lookup is a binary search over
// the sections ordered by file offset or by address. A layout the reader made has sections
// that overlap neither way, so each question has one answer; for a layout a payload states,
// which may break that, the answers are still the same on every machine (the section with
// the greatest start at or below the question, ties in the layout's order).
class AddressTranslator {
public:
    explicit AddressTranslator(const ImageLayout& layout);

    uint64_t imageBase() const { return imageBase_; }

    // The section holding `fileOffset`, or null; `runEnd` is where that section ends, or
    // where the next one starts (UINT64_MAX when none does).
    const Section* SectionAround(uint64_t fileOffset, uint64_t& runEnd) const;
    bool AddressOf(uint64_t fileOffset, uint64_t& address) const;
    bool IsExecutable(uint64_t fileOffset) const;

    // The file offset of `address` and how many file bytes its section holds from there on;
    // false outside every section.
    bool FileSpanAt(uint64_t address, uint64_t& fileOffset, uint64_t& available) const;
    bool FileOffsetOf(uint64_t address, uint64_t& fileOffset) const;
    // The file offset of a field of `width` bytes at `address`, when the whole field lies in
    // the file bytes of one section.
    bool FileOffsetOfField(uint64_t address, uint64_t width, uint64_t& fileOffset) const;
    // The file offset of an address in an executable section.
    bool CodeOffsetOf(uint64_t address, uint64_t& fileOffset) const;

    // The same answers for a caller that asks many questions near each other (the predictor,
    // at every displacement of a cover): `hint` holds the section of its last answer (null at
    // first) and is tried before the search, where the layout's sections overlap neither way
    // and so the hint's answer is the search's.
    // Inline: the predictor asks at every displacement it finds.
    bool AddressOf(uint64_t fileOffset, uint64_t& address, const Section*& hint) const {
        if (!disjoint_ || !hint || fileOffset - hint->fileOffset >= hint->size) {
            return AddressOfSearched(fileOffset, address, hint);
        }
        address = hint->address + (fileOffset - hint->fileOffset);
        return true;
    }
    bool CodeOffsetOf(uint64_t address, uint64_t& fileOffset, const Section*& hint) const {
        if (!disjoint_ || !hint || address - hint->address >= hint->size) {
            return CodeOffsetOfSearched(address, fileOffset, hint);
        }
        fileOffset = hint->fileOffset + (address - hint->address);
        return hint->executable;
    }

private:
    // The hinted questions when the hint does not hold the answer: searched, the hint kept.
    bool AddressOfSearched(uint64_t fileOffset, uint64_t& address, const Section*& hint) const;
    bool CodeOffsetOfSearched(uint64_t address, uint64_t& fileOffset, const Section*& hint) const;
    const Section* SectionAtAddress(uint64_t address) const;
    // Both orders strictly increasing, each section ending before the next starts.
    static bool Disjoint(const std::vector<Section>& sorted, uint64_t Section::*start);

    uint64_t imageBase_;
    std::vector<Section> byOffset_;
    std::vector<Section> byAddress_;
    bool disjoint_;
};

} // namespace x86image
