#include "Wrappers.h"

#include <zlib.h>

namespace deflatestream {

namespace {

constexpr uint8_t kHeaderCrc = 2, kExtra = 4, kName = 8, kComment = 16;
constexpr uint8_t kReservedFlags = 0xe0;

// The offset after a zero-terminated field, or 0 when it has no end.
size_t AfterString(const uint8_t* data, size_t size, size_t at) {
    while (at < size && data[at] != 0) {
        ++at;
    }
    return at < size ? at + 1 : 0;
}

// The offset of the deflate stream after a gzip header, or 0 when it is none.
size_t HeaderEnd(const uint8_t* p, size_t size) {
    if (size < 10 || p[0] != 0x1f || p[1] != 0x8b || p[2] != Z_DEFLATED ||
        (p[3] & kReservedFlags) != 0) {
        return 0;
    }
    const uint8_t flags = p[3];
    size_t at = 10;
    if (flags & kExtra) {
        if (size - at < 2 || Le16(p + at) > size - at - 2) {
            return 0;
        }
        at += 2 + Le16(p + at);
    }
    if ((flags & kName) && (at = AfterString(p, size, at)) == 0) {
        return 0;
    }
    if ((flags & kComment) && (at = AfterString(p, size, at)) == 0) {
        return 0;
    }
    if (flags & kHeaderCrc) {
        if (size - at < 2 || (crc32(0, p, static_cast<uInt>(at)) & 0xffff) != Le16(p + at)) {
            return 0;
        }
        at += 2;
    }
    return at;
}

} // namespace

bool GzipMemberAt(const Candidate& c, FoundStream& found, uint64_t& work) {
    const uint8_t* p = c.data + c.offset;
    const size_t size = c.size - c.offset;
    const size_t start = HeaderEnd(p, size);
    if (start == 0 || !PlausibleDeflateStart(p + start, size - start)) {
        return false;
    }
    Inflated inflated;
    if (!InflateRaw(p + start, size - start, c.maxContent, inflated, work)) {
        return false;
    }
    const size_t end = start + static_cast<size_t>(inflated.streamBytes);
    if (size - end < 8 || Le32(p + end) != inflated.crc32 ||
        Le32(p + end + 4) != static_cast<uint32_t>(inflated.contentBytes)) {
        return false;
    }
    found = {Wrapper::kGzipMember,  c.offset, end + 8, c.offset + start, inflated.streamBytes,
             inflated.contentBytes, {}};
    return true;
}

} // namespace deflatestream
