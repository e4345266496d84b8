#include "Encoders.h"
#include "Lzma2Stream.h"
#include "StreamCoder.h"

#include <lzma.h>

#include <algorithm>

namespace coders {

// xz's strongest preset (9, extreme) with the dictionary cut to the stream: a larger one
// finds nothing more and costs the decoder memory. LZMA2 alone, no branch filter: patch
// data is not plain machine code.
bool EncodeXz(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, 9 | LZMA_PRESET_EXTREME)) {
        return false;
    }
    options.dict_size =
        static_cast<uint32_t>(std::clamp<size_t>(size, LZMA_DICT_SIZE_MIN, kMaxDecoderWindow));
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

    out.resize(kLzma2PropertiesSize + lzma_stream_buffer_bound(size));
    if (lzma_properties_encode(&filters[0], out.data()) != LZMA_OK) {
        return false;
    }
    size_t written = kLzma2PropertiesSize;
    if (lzma_raw_buffer_encode(filters, nullptr, data, size, out.data(), &written, out.size()) !=
        LZMA_OK) {
        return false;
    }
    out.resize(written);
    return true;
}

} // namespace coders
