#include "ParseLayout.h"

#include "ParseBytes.h"

namespace recode {

bool ReadParseLayout(deflatestream::ByteInput& head, uint64_t parseBytes, ParseLayout& layout) {
    deflatestream::ByteReader reader(head);
    if (!reader.Varint(layout.contentBytes) || !reader.Varint(layout.deflateBytes))
        return false;
    for (uint64_t& length : layout.streamBytes) {
        if (!reader.Varint(length))
            return false;
    }
    layout.headBytes = reader.Position();
    uint64_t left = parseBytes - layout.headBytes; // the head was read from within the parse
    for (uint64_t length : layout.streamBytes) {
        if (length > left)
            return false;
        left -= length;
    }
    return left == 0;
}

} // namespace recode
