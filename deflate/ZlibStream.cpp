#include "Wrappers.h"

#include <zlib.h>

namespace deflatestream {

namespace {

constexpr uint8_t kPresetDictionary = 0x20;

} // namespace

bool ZlibStreamAt(const Candidate& c, FoundStream& found, uint64_t& work) {
    const uint8_t* p = c.data + c.offset;
    const size_t size = c.size - c.offset;
    // A preset dictionary's content cannot be checked without the dictionary.
    if (size < 2 + 2 + 4 || (p[0] & 0x0f) != Z_DEFLATED || (p[0] >> 4) > 7 ||
        (p[0] << 8 | p[1]) % 31 != 0 || (p[1] & kPresetDictionary) != 0 ||
        !PlausibleDeflateStart(p + 2, size - 2)) {
        return false;
    }
    Inflated inflated;
    if (!InflateRaw(p + 2, size - 2, c.maxContent, inflated, work)) {
        return false;
    }
    const size_t end = 2 + static_cast<size_t>(inflated.streamBytes);
    if (size - end < 4 || Be32(p + end) != inflated.adler32) {
        return false;
    }
    found = {Wrapper::kZlibStream,  c.offset, end + 4, c.offset + 2, inflated.streamBytes,
             inflated.contentBytes, {}};
    return true;
}

} // namespace deflatestream
