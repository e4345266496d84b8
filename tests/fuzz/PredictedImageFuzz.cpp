// Any input: an old image and a predicted payload fuzzed together. The input is the control
// byte of BlockDecodeChecks.h, the image's length (4 bytes, little-endian), the image and the
// payload; the decoder parses the image, maps the payload's covers onto it and predicts its
// fields, keeping every promise of BlockDecodeChecks.h. Seeds: the block decoder's predicted
// seeds with their old program in front (tests/fuzz/make-x86image-seeds.sh).
#include "BlockDecodeChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kLengthBytes = 4;
    if (size < 1 + kLengthBytes) {
        return 0;
    }
    const uint64_t imageSize = uint64_t{data[1]} | uint64_t{data[2]} << 8 |
                               uint64_t{data[3]} << 16 | uint64_t{data[4]} << 24;
    const uint8_t* image = data + 1 + kLengthBytes;
    const size_t rest = size - 1 - kLengthBytes;
    if (imageSize > rest) {
        return 0;
    }
    fuzz::BytesIn old(image, static_cast<size_t>(imageSize));
    fuzz::DecodeChecked(data[0], image + imageSize, rest - static_cast<size_t>(imageSize), old);
    return 0;
}
