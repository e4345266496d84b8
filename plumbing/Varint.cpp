#include "Varint.h"

#include <cstdint>

namespace plumbing {

VarintStatus ReadLongVarint(const uint8_t* data, size_t size, size_t& pos, uint64_t& value) {
    uint64_t result = 0;
    for (size_t i = 0; i < kMaxVarintBytes; ++i) {
        if (pos + i >= size) {
            return VarintStatus::NeedMore;
        }
        const uint8_t byte = data[pos + i];
        if (result > (UINT64_MAX >> 7)) {
            return VarintStatus::Invalid;
        }
        result = (result << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            pos += i + 1;
            value = result;
            return VarintStatus::Ok;
        }
    }
    return VarintStatus::Invalid;
}

size_t VarintLength(uint64_t value) {
    size_t length = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++length;
    }
    return length;
}

void AppendVarint(std::vector<uint8_t>& out, uint64_t value) {
    uint8_t bytes[kMaxVarintBytes];
    size_t n = 0;
    do {
        bytes[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1) {
        out.push_back(static_cast<uint8_t>(bytes[--n] | 0x80));
    }
    out.push_back(bytes[0]);
}

} // namespace plumbing
