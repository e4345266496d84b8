#pragma once
#include "AddressMap.h"
#include "ImageReferences.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// Predicts the addresses a program's code and tables hold after the code moved: a rebuild
// changes every call, jump and pointer that reaches across a moved stretch even where the
// source did not change, and against the predicted bytes those differences are zeros.
//
// For the bytes a cover copies from the old image, it rewrites
//   - every 32-bit displacement of a call (E8), jump (E9) or conditional jump (0F 80-8F) found
//     in an executable section whose old target lies in an executable section: as the
//     displacement from the field's new address to where the address map puts the target,
//   - then every field the old image lists as holding an address (relocations, symbol and
//     relocation tables): as the address where the map puts what it pointed to, or for a
//     pc-relative one (call-frame tables) as the distance from its new address to there,
// where the map and both layouts can say; other bytes stay as they are. The displacements
// are found by scanning from the cover's start, a found one skipping its field. A wrong
// prediction only costs differences: the block's CRC-32 checks the result.
//
// Both the encoder and the decoder run it, so its result depends only on the old image, the
// new layout, the map and the cover, never on how a cover is cut into parts. It keeps the
// old image's layout and a copy of its listed fields (4 bytes each).
class ReferencePredictor {
public:
    ReferencePredictor(const x86image::ImageReferences& old, const x86image::ImageLayout& next,
                       const AddressMap& map);

    // Predicts, in `bytes` (the old bytes [oldStart, oldStart + length) that a cover copies to
    // `newStart` of the new file), the displacements whose opcode lies in [from, until) and
    // the listed fields ending in (from, until]. `scan` carries the scan from one part to the
    // next: 0 before the first, then what the last call returned; parts must follow each
    // other from 0 to `length`.
    size_t Predict(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length, size_t from,
                   size_t until, size_t scan) const;
    // The whole cover at once.
    void PredictCover(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length) const {
        Predict(oldStart, newStart, bytes, length, 0, length, 0);
    }

private:
    // File offsets and addresses of one image, each looked up by a binary search.
    class Layout {
    public:
        explicit Layout(const x86image::ImageLayout& layout);
        const x86image::Section* Around(uint64_t offset, uint64_t& runEnd) const;
        bool AddressOf(uint64_t offset, uint64_t& address) const;
        bool OffsetOf(uint64_t address, uint64_t& offset, bool executableOnly) const;
        uint64_t base() const { return base_; }

    private:
        uint64_t base_;
        std::vector<x86image::Section> byOffset_;
        std::vector<x86image::Section> byAddress_;
    };

    size_t ScanDisplacements(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length,
                             size_t scan, size_t until) const;
    void PredictDisplacement(uint64_t oldField, uint64_t newField, uint8_t* field,
                             bool& found) const;
    void PredictListed(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t from,
                       size_t until) const;
    void PredictPcRelative(uint64_t oldField, uint64_t newField, uint8_t* field) const;
    bool MapAddress(uint64_t oldAddress, bool executableOnly, uint64_t& newAddress) const;

    // The old image's listed fields: file offsets (below format::kMaxPredictedFileSize) with
    // their kind in the top two bits.
    static constexpr uint32_t kAbsolute = 0;
    static constexpr uint32_t kRelativeToBase = 1u << 30;
    static constexpr uint32_t kPcRelative = 2u << 30;
    static constexpr uint32_t kKindMask = 3u << 30;
    static constexpr uint32_t kOffsetMask = ~kKindMask;

    Layout oldLayout_;
    Layout newLayout_;
    const AddressMap& map_;
    std::vector<uint32_t> fields_;
};

} // namespace blockdiff
