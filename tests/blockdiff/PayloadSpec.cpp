#include "PayloadSpec.h"

#include "LittleEndian.h"
#include "StreamEncoder.h"
#include "Varint.h"

#include <zlib.h>

namespace blockdiff::test {

Bytes PayloadSpec::Serialize() const {
    Bytes out = magic;
    plumbing::AppendLittleEndian(out, resultSize, 8);
    for (const BlockSpec& block : blocks) {
        plumbing::AppendLittleEndian(out, block.outputSize, 4);
        plumbing::AppendLittleEndian(out, block.crc, 4);
        out.push_back(block.form);
        Bytes streams;
        for (const StreamSpec& stream : block.streams) {
            const Bytes& stored =
                stream.stored.empty() && stream.coder == 0 ? stream.raw : stream.stored;
            out.push_back(stream.coder);
            plumbing::AppendLittleEndian(out, stream.rawSize.value_or(stream.raw.size()), 4);
            plumbing::AppendLittleEndian(out, stream.storedSize.value_or(stored.size()), 4);
            streams.insert(streams.end(), stored.begin(), stored.end());
        }
        out.insert(out.end(), streams.begin(), streams.end());
    }
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
}

Bytes Varints(std::initializer_list<uint64_t> values) {
    Bytes out;
    for (const uint64_t value : values) {
        plumbing::AppendVarint(out, value);
    }
    return out;
}

uint64_t Distance(int64_t distance) {
    return distance >= 0 ? static_cast<uint64_t>(distance) << 1
                         : (static_cast<uint64_t>(-distance - 1) << 1) | 1;
}

Bytes Compressed(coders::Coder coder, const Bytes& raw) {
    Bytes out;
    coders::Encode(coder, raw.data(), raw.size(), out);
    return out;
}

uint32_t Crc(const Bytes& bytes) {
    return static_cast<uint32_t>(
        crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

} // namespace blockdiff::test
