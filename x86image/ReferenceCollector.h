#pragma once
#include "ImageReferences.h"
#include "ParsePacer.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace x86image {

// Gathers the address fields a parser finds, within the caps: a field not wholly inside the
// file is ignored; past a cap the collector stays full and every further call says false, as
// it does once the pacer has stopped the parse.
class ReferenceCollector {
public:
    static constexpr uint64_t kFieldBytes = 4;

    // Each field listed, and each field moved while Finish sorts, is work for `pacer`: a
    // pause after every kFieldsBetweenCalls of them.
    ReferenceCollector(uint64_t fileSize, ParsePacer& pacer);
    static constexpr size_t kFieldsBetweenCalls = ParsePacer::kWorkBetweenPauses / kFieldBytes;

    bool AddAbsolute(uint64_t fileOffset) { return Add(absolute_, fileOffset); }
    bool AddRelativeToBase(uint64_t fileOffset) { return Add(relative_, fileOffset); }
    bool AddPcRelative(uint64_t fileOffset) { return Add(pcRelative_, fileOffset); }
    // How many more fields fit below the cap.
    size_t Room() const;
    // For a table read in one go: the pc-relative fields so far, and dropping those added
    // since then.
    size_t PcRelativeCount() const { return pcRelative_.size(); }
    void DropPcRelativeFrom(size_t count) { pcRelative_.resize(count); }
    // Accounts for `entries` table entries about to be walked.
    bool Walk(uint64_t entries);
    bool Full() const { return full_; }
    const char* WhyFull() const { return whyFull_; }

    // Sorts the lists into `out`, dropping any field that overlaps one kept before it; a
    // base-relative field that overlaps an absolute one is dropped, relocations being the
    // surer source, and a pc-relative one that overlaps either. False, with `out` left as it
    // was, when the pacer stopped the parse.
    bool Finish(ImageReferences& out);

private:
    bool Add(std::vector<uint32_t>& list, uint64_t fileOffset);

    uint64_t fileSize_;
    ParsePacer& pacer_;
    uint64_t walked_ = 0;
    bool full_ = false;
    const char* whyFull_ = "";
    std::vector<uint32_t> absolute_;
    std::vector<uint32_t> relative_;
    std::vector<uint32_t> pcRelative_;
};

} // namespace x86image
