#pragma once
#include "AddressMap.h"
#include "BlockPlan.h"
#include "ImageReferences.h"
#include "ReferencePredictor.h"
#include "Source.h"
#include "SuffixIndex.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace blockdiff {

// The encoder's side of the predictor: both images parsed, the map of every planned cover,
// and the prediction header to write.
class PredictionPlan {
public:
    // Parses the old file (held whole in `index`) and the new one. False when either is no
    // image, they are not of one kind, or either is beyond the limits of predictor `version`.
    bool Prepare(const SuffixIndex& index, plumbing::Source& newFile, uint8_t version);
    // Maps the covers of one slice's blocks, the slice starting at `sliceStart`.
    void AddCovers(const std::vector<BlockPlan>& plans, uint64_t sliceStart,
                   const SuffixIndex& index);
    // After the last covers: false when there are more than the predictor takes.
    bool Seal();

    const ReferencePredictor* predictor() const { return predictor_.get(); }
    void AppendHeader(std::vector<uint8_t>& out) const;

private:
    uint8_t version_ = 0;
    x86image::ImageReferences old_;
    x86image::ImageLayout new_;
    AddressMap map_;
    std::unique_ptr<ReferencePredictor> predictor_;
};

// The sections of `layout` joined where they follow each other at the same distance between
// file offset and address, with the same flags: the header then holds a few runs instead of
// every section, and the addresses of the bytes between them are those the image would give.
x86image::ImageLayout JoinedLayout(const x86image::ImageLayout& layout);

} // namespace blockdiff
