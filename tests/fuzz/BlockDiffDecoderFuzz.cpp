// Any input: the block delta decoder keeps its promises (BlockDecodeChecks.h) decoding the
// input after its first byte. A payload with the predicted magic is decoded against a small
// x86 program, so that the prediction header, the map of covers and the predictor meet the
// fuzzed bytes; predicted_image_fuzz fuzzes the program too.
#include "BlockDecodeChecks.h"
#include "PatternedOld.h"
#include "PredictedFuzzOld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The seed corpus was made against the same pattern (make-blockdiff-seeds.sh).
    fuzz::PatternedOld patterned(13, 7);
    const std::vector<uint8_t>& program = PredictedFuzzOld();
    fuzz::BytesIn image(program.data(), program.size());
    const bool predicted = size > sizeof blockdiff::format::kPredictedMagic &&
                           std::memcmp(data + 1, blockdiff::format::kPredictedMagic,
                                       sizeof blockdiff::format::kPredictedMagic) == 0;
    fuzz::DecodeChecked(data[0], data + 1, size - 1,
                        predicted ? static_cast<plumbing::Source&>(image) : patterned);
    return 0;
}
