#include "Wrappers.h"

namespace deflatestream {

bool ZlibStreamAt(const Candidate& c, FoundStream& found, uint64_t& work) {
    const uint8_t* p = c.data + c.offset;
    const size_t size = c.size - c.offset;
    if (size < 2 + 2 + 4 || !IsZlibHeader(p) || (p[1] & kZlibPresetDictionary) != 0 ||
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
