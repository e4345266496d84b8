#include "Wrappers.h"

namespace deflatestream {

bool IsZlibHeader(const uint8_t* header) {
    return (header[0] & 0x0f) == 8 && (header[0] >> 4) <= 7 &&
           (header[0] << 8 | header[1]) % 31 == 0;
}

bool PlausibleDeflateStart(const uint8_t* data, size_t size) {
    if (size < 2) {
        return false;
    }
    const unsigned type = data[0] >> 1 & 3;
    if (type == 3) {
        return false;
    }
    if (type == 0) {
        // LEN and NLEN follow at the next byte boundary.
        return size >= 5 && (Le16(data + 1) ^ Le16(data + 3)) == 0xffff;
    }
    if (type == 2) {
        const uint32_t bits = Le16(data);
        const unsigned hlit = bits >> 3 & 31;
        const unsigned hdist = bits >> 8 & 31;
        return hlit <= 29 && hdist <= 29;
    }
    return true;
}

} // namespace deflatestream
