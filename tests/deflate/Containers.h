#pragma once
#include "DeflateSamples.h"

#include <string>

namespace deflatestream::test {

// Archives and images made by hand around zlib's streams, with the fields the finder must
// read: each says where its deflate stream starts and how long it is.
struct Made {
    Bytes bytes;
    size_t deflateOffset = 0;
    size_t deflateLength = 0;
    // The raw deflate stream, where it is not in one piece of `bytes`.
    Bytes deflate;
};

enum class Descriptor { kNone, kSigned, kUnsigned };

struct ZipEntryRecipe {
    std::string name = "data/file.txt";
    Bytes content;
    bool deflated = true;
    Descriptor descriptor = Descriptor::kNone;
    // Sizes in a zip64 extra field (and eight-byte sizes in the descriptor).
    bool zip64 = false;
};
Made ZipLocalEntry(const ZipEntryRecipe& recipe);

// A gzip member with every optional header field the flags name.
struct GzipRecipe {
    Bytes content;
    Bytes extra;
    std::string name;
    std::string comment;
    bool headerCrc = false;
};
Made GzipWithHeader(const GzipRecipe& recipe);

// A zlib stream as compress2 makes it.
Made ZlibOf(const Bytes& content, int level);

// A PNG image of gray rows whose zlib stream is split over IDAT chunks of at most
// `idatBytes`; deflateOffset is that of the deflate stream's first byte, `deflate` the whole
// raw stream.
Made Png(size_t width, size_t height, size_t idatBytes);

uint32_t Crc32(const Bytes& bytes);

} // namespace deflatestream::test
