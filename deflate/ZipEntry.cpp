#include "Wrappers.h"

#include <zlib.h>

namespace deflatestream {

namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kDescriptor = 0x08074b50;
constexpr size_t kLocalHeaderBytes = 30;
constexpr uint16_t kEncrypted = 1, kHasDescriptor = 8;
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint32_t kInZip64 = 0xffffffff;

struct LocalHeader {
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint64_t compressed = 0;
    uint64_t uncompressed = 0;
    bool zip64 = false;
    size_t dataOffset = 0;
};

// The zip64 extra field gives the sizes the header marks as too large, in that order.
bool ReadZip64(const uint8_t* extra, size_t size, LocalHeader& h) {
    const bool bigUncompressed = h.uncompressed == kInZip64;
    const bool bigCompressed = h.compressed == kInZip64;
    for (size_t at = 0; size - at >= 4;) {
        const uint32_t id = Le16(extra + at);
        const uint32_t length = Le16(extra + at + 2);
        if (length > size - at - 4) {
            return false;
        }
        if (id == kZip64Extra) {
            const uint8_t* field = extra + at + 4;
            size_t used = 0;
            h.zip64 = true;
            if (bigUncompressed && length - used >= 8) {
                h.uncompressed = Le64(field + used);
                used += 8;
            }
            if (bigCompressed && length - used >= 8) {
                h.compressed = Le64(field + used);
            }
        }
        at += 4 + length;
    }
    return true;
}

bool ReadLocalHeader(const uint8_t* p, size_t size, LocalHeader& h) {
    if (size < kLocalHeaderBytes || Le32(p) != kLocalHeader) {
        return false;
    }
    h.flags = static_cast<uint16_t>(Le16(p + 6));
    h.method = static_cast<uint16_t>(Le16(p + 8));
    h.crc = Le32(p + 14);
    h.compressed = Le32(p + 18);
    h.uncompressed = Le32(p + 22);
    const size_t nameBytes = Le16(p + 26);
    const size_t extraBytes = Le16(p + 28);
    if (nameBytes + extraBytes > size - kLocalHeaderBytes) {
        return false;
    }
    h.dataOffset = kLocalHeaderBytes + nameBytes + extraBytes;
    return ReadZip64(p + kLocalHeaderBytes + nameBytes, extraBytes, h);
}

// The data descriptor after the data: an optional signature, the CRC-32 and both sizes in
// four bytes each, or eight in a zip64 entry. Its length, or 0 when it does not match.
size_t DescriptorBytes(const uint8_t* p, size_t size, const Inflated& inflated, uint64_t data,
                       bool zip64) {
    const size_t signature = size >= 4 && Le32(p) == kDescriptor ? 4 : 0;
    const size_t sizeBytes = zip64 ? 8 : 4;
    if (size - signature < 4 + 2 * sizeBytes || Le32(p + signature) != inflated.crc32) {
        return 0;
    }
    const uint8_t* sizes = p + signature + 4;
    const uint64_t compressed = zip64 ? Le64(sizes) : Le32(sizes);
    const uint64_t uncompressed = zip64 ? Le64(sizes + 8) : Le32(sizes + 4);
    if (compressed != data || uncompressed != inflated.contentBytes) {
        return 0;
    }
    return signature + 4 + 2 * sizeBytes;
}

} // namespace

bool ZipEntryAt(const Candidate& c, FoundStream& found, uint64_t& work) {
    const uint8_t* p = c.data + c.offset;
    const size_t size = c.size - c.offset;
    LocalHeader h;
    if (!ReadLocalHeader(p, size, h) || h.method != Z_DEFLATED || (h.flags & kEncrypted) ||
        !PlausibleDeflateStart(p + h.dataOffset, size - h.dataOffset)) {
        return false;
    }
    Inflated inflated;
    if (!InflateRaw(p + h.dataOffset, size - h.dataOffset, c.maxContent, inflated, work)) {
        return false;
    }
    size_t end = h.dataOffset + static_cast<size_t>(inflated.streamBytes);
    if (h.flags & kHasDescriptor) {
        size_t descriptor =
            DescriptorBytes(p + end, size - end, inflated, inflated.streamBytes, h.zip64);
        // Some writers give eight-byte sizes in a descriptor without a zip64 extra field.
        if (descriptor == 0 && !h.zip64) {
            descriptor = DescriptorBytes(p + end, size - end, inflated, inflated.streamBytes, true);
        }
        if (descriptor == 0) {
            return false;
        }
        end += descriptor;
    } else if (h.crc != inflated.crc32 || h.compressed != inflated.streamBytes ||
               h.uncompressed != inflated.contentBytes) {
        return false;
    }
    found = {Wrapper::kZipEntry,    c.offset, end, c.offset + h.dataOffset, inflated.streamBytes,
             inflated.contentBytes, {}};
    return true;
}

} // namespace deflatestream
