#include "Wrappers.h"

#include <zlib.h>

#include <algorithm>

namespace deflatestream {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t kChunkOverhead = 12; // length, type, CRC-32

bool IsType(const uint8_t* type, const char* name) {
    return type[0] == name[0] && type[1] == name[1] && type[2] == name[2] && type[3] == name[3];
}

// The image's IDAT chunks, which PNG requires to follow one another, with their CRC-32s
// checked; the image's length through IEND. False when the chunks do not hold.
struct Chunks {
    std::vector<FilePiece> idat;
    size_t length = 0;
};

bool ReadChunks(const uint8_t* p, size_t size, Chunks& chunks) {
    size_t at = sizeof(kSignature);
    bool idatEnded = false;
    while (size - at >= kChunkOverhead) {
        const uint32_t length = Be32(p + at);
        if (length > size - at - kChunkOverhead) {
            return false;
        }
        const uint8_t* type = p + at + 4;
        const bool idat = IsType(type, "IDAT");
        if (idat) {
            if (idatEnded ||
                crc32(0, type, static_cast<uInt>(length + 4)) != Be32(type + 4 + length)) {
                return false;
            }
            chunks.idat.push_back({at + 8, length});
        } else {
            idatEnded = !chunks.idat.empty();
        }
        at += kChunkOverhead + length;
        if (IsType(type, "IEND")) {
            chunks.length = at;
            return !chunks.idat.empty();
        }
    }
    return false;
}

// The deflate stream's pieces: the zlib stream's bytes after its two-byte header, up to its
// Adler-32, mapped back onto the chunks.
std::vector<FilePiece> DeflatePieces(const std::vector<FilePiece>& idat, uint64_t start,
                                     uint64_t length, size_t offset) {
    std::vector<FilePiece> pieces;
    for (const FilePiece& chunk : idat) {
        if (start >= chunk.length) {
            start -= chunk.length;
            continue;
        }
        const uint64_t take = std::min(chunk.length - start, length);
        if (take != 0) {
            pieces.push_back({offset + chunk.offset + start, take});
        }
        length -= take;
        start = 0;
    }
    return pieces;
}

} // namespace

bool PngImageAt(const Candidate& c, FoundStream& found, uint64_t& work) {
    const uint8_t* p = c.data + c.offset;
    const size_t size = c.size - c.offset;
    Chunks chunks;
    if (size < sizeof(kSignature) + kChunkOverhead ||
        std::equal(kSignature, kSignature + sizeof(kSignature), p) == false ||
        !ReadChunks(p, size, chunks)) {
        return false;
    }
    std::vector<uint8_t> stream;
    for (const FilePiece& chunk : chunks.idat) {
        stream.insert(stream.end(), p + chunk.offset, p + chunk.offset + chunk.length);
    }
    work += stream.size();
    if (stream.size() < 2 + 4 || !IsZlibHeader(stream.data()) ||
        (stream[1] & kZlibPresetDictionary) != 0) {
        return false;
    }
    Inflated inflated;
    if (!InflateRaw(stream.data() + 2, stream.size() - 2, c.maxContent, inflated, work)) {
        return false;
    }
    // Encoders write nothing after the Adler-32; a stream that ends sooner is refused too,
    // since the bytes after it would have no place in a rebuilt image.
    const size_t end = 2 + static_cast<size_t>(inflated.streamBytes);
    if (stream.size() - end != 4 || Be32(stream.data() + end) != inflated.adler32) {
        return false;
    }
    found.wrapper = Wrapper::kPngImage;
    found.offset = c.offset;
    found.length = chunks.length;
    found.pieces = DeflatePieces(chunks.idat, 2, inflated.streamBytes, c.offset);
    found.deflateOffset = found.pieces.front().offset;
    found.deflateLength = inflated.streamBytes;
    found.contentBytes = inflated.contentBytes;
    return true;
}

} // namespace deflatestream
