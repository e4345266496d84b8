#pragma once
#include "AddressMap.h"
#include "ImageReferences.h"
#include "ReferenceRewriter.h"

#include <cstddef>
#include <cstdint>

namespace blockdiff {

// Predicts the bytes a cover copies from an old image: the image's references rewritten for
// where the map of covers put what they point to (x86image::ReferenceRewriter), so that
// against the predicted bytes the differences of moved code are zeros. A wrong prediction
// only costs differences: the block's CRC-32 checks the result.
//
// Both the encoder and the decoder run it, so its result depends only on the old image, the
// new layout, the map and the cover, never on how a cover is cut into parts.
class ReferencePredictor {
public:
    ReferencePredictor(const x86image::ImageReferences& old, const x86image::ImageLayout& next,
                       const AddressMap& map)
        : rewriter_(old, next, map) {}

    // Predicts, in `bytes` (the old bytes [oldStart, oldStart + length) that a cover copies to
    // `newStart` of the new file), the part [from, until) of the cover. `scan` carries the
    // work from one part to the next: 0 before the first, then what the last call returned;
    // parts must follow each other from 0 to `length`.
    size_t Predict(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length, size_t from,
                   size_t until, size_t scan) const {
        return rewriter_.Rewrite(oldStart, newStart, bytes, length, from, until, scan);
    }
    // The whole cover at once.
    void PredictCover(uint64_t oldStart, uint64_t newStart, uint8_t* bytes, size_t length) const {
        Predict(oldStart, newStart, bytes, length, 0, length, 0);
    }

private:
    x86image::ReferenceRewriter rewriter_;
};

} // namespace blockdiff
