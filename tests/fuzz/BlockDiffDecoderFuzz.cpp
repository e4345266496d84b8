// Any input: the block delta decoder keeps its promises (BlockDecodeChecks.h) decoding the
// input after its first byte. A payload with the predicted magic is decoded against a small
// x86 program, so that the prediction header, the map of covers and the predictor meet the
// fuzzed bytes; predicted_image_fuzz fuzzes the program too.
#include "BlockDecodeChecks.h"
#include "PredictedFuzzOld.h"

namespace {

// 4 KiB of old file: byte i is (i * 13 + (i >> 7)) mod 256 (the seed corpus was made
// against the same bytes, tests/fuzz/make-blockdiff-seeds.sh).
class FixedOld : public plumbing::Source {
public:
    static constexpr uint64_t kSize = 4096;
    uint64_t Size() const override { return kSize; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > kSize || length > kSize - offset) {
            __builtin_trap(); // the decoder checked the cover against Size()
        }
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < length; ++i) {
            out[i] = static_cast<uint8_t>((offset + i) * 13 + ((offset + i) >> 7));
        }
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    FixedOld patterned;
    const std::vector<uint8_t>& program = PredictedFuzzOld();
    fuzz::BytesIn image(program.data(), program.size());
    const bool predicted = size > sizeof blockdiff::format::kPredictedMagic &&
                           std::memcmp(data + 1, blockdiff::format::kPredictedMagic,
                                       sizeof blockdiff::format::kPredictedMagic) == 0;
    fuzz::DecodeChecked(data[0], data + 1, size - 1,
                        predicted ? static_cast<plumbing::Source&>(image) : patterned);
    return 0;
}
