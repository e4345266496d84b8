#pragma once
#include "AddressTranslator.h"
#include "ImageReferences.h"
#include "MovedOffsets.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace x86image {

// Rewrites the addresses a program's code and tables hold for where the code moved: a rebuild
// changes every call, jump and pointer that reaches across a moved stretch even where the
// source did not change, and the rewritten old bytes then match the new ones.
//
// For a run of bytes copied from the old image to a place in the new one, it rewrites
//   - every 32-bit displacement of a call (E8), jump (E9) or conditional jump (0F 80-8F) found
//     in an executable section whose old target lies in an executable section: as the
//     displacement from the field's new address to where the target moved,
//   - then every field the old image lists as holding an address (relocations, symbol and
//     relocation tables): as the address where what it pointed to moved, or for a
//     pc-relative one (call-frame tables) as the distance from its new address to there,
// where the moved offsets and both layouts can say; other bytes stay as they are. The
// displacements are found by scanning from the run's start, a found one skipping its field.
//
// The result depends only on the old image, the new layout, the moved offsets and the run,
// never on how a run is cut into parts. It keeps the old image's layout and a copy of its
// listed fields (4 bytes each).
class ReferenceRewriter {
public:
    ReferenceRewriter(const ImageReferences& old, const ImageLayout& next,
                      const MovedOffsets& moved);

    // Rewrites, in `bytes` (the old bytes [oldStart, oldStart + length) copied to `newStart`
    // of the new file), the displacements whose opcode lies in [from, until) and the listed
    // fields ending in (from, until]. `scan` carries the scan from one part to the next: 0
    // before the first, then what the last call returned; parts must follow each other from 0
    // to `length`.
    size_t Rewrite(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length, size_t from,
                   size_t until, size_t scan) const;

private:
    // The sections of the last answers in one part of a run: the displacements of a cover lie
    // in one section, and most targets in a few.
    struct Hints {
        const Section* oldField = nullptr;
        const Section* oldTarget = nullptr;
        const Section* newField = nullptr;
        const Section* newTarget = nullptr;
    };

    size_t ScanDisplacements(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length,
                             size_t scan, size_t until) const;
    void RewriteDisplacement(uint64_t oldField, uint64_t newField, uint8_t* field, bool& found,
                             Hints& hints) const;
    void RewriteListed(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t from,
                       size_t until) const;
    void RewritePcRelative(uint64_t oldField, uint64_t newField, uint8_t* field) const;
    bool MoveAddress(uint64_t oldAddress, bool codeOnly, uint64_t& newAddress) const;

    // The old image's listed fields: file offsets with their kind in the top two bits.
    static constexpr uint32_t kAbsolute = 0;
    static constexpr uint32_t kRelativeToBase = 1u << 30;
    static constexpr uint32_t kPcRelative = 2u << 30;
    static constexpr uint32_t kKindMask = 3u << 30;
    static constexpr uint32_t kOffsetMask = ~kKindMask;

    AddressTranslator old_;
    AddressTranslator new_;
    const MovedOffsets& moved_;
    std::vector<uint32_t> fields_;
};

} // namespace x86image
