#include "ParseLayout.h"

#include "ParseBytes.h"

namespace recode {

namespace {

bool ReadLayout(deflatestream::ByteInput& head, uint64_t parseBytes, bool predicted,
                size_t streamCount, ParseLayout& layout) {
    deflatestream::ByteReader reader(head);
    if (!reader.Varint(layout.contentBytes) || !reader.Varint(layout.deflateBytes) ||
        (predicted && !deflatestream::ReadPredictorConfig(reader, layout.config)))
        return false;
    layout.streamCount = streamCount;
    for (size_t i = 0; i < streamCount; ++i) {
        if (!reader.Varint(layout.streamBytes[i]))
            return false;
    }
    layout.headBytes = reader.Position();
    if (layout.headBytes > parseBytes)
        return false;
    uint64_t left = parseBytes - layout.headBytes;
    for (size_t i = 0; i < streamCount; ++i) {
        if (layout.streamBytes[i] > left)
            return false;
        left -= layout.streamBytes[i];
    }
    return left == 0;
}

} // namespace

bool ReadParseLayout(deflatestream::ByteInput& head, uint64_t parseBytes, ParseLayout& layout) {
    return ReadLayout(head, parseBytes, false, 5, layout);
}

bool ReadPredictedLayout(deflatestream::ByteInput& head, uint64_t parseBytes, ParseLayout& layout) {
    return ReadLayout(head, parseBytes, true, 4, layout);
}

} // namespace recode
