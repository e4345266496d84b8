#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace deflatestream {

enum class Wrapper { kZipEntry, kGzipMember, kZlibStream, kPngImage };
const char* WrapperName(Wrapper wrapper);

// Where a part of a deflate stream lies in the file.
struct FilePiece {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// A deflate stream found in a file, verified by inflating it and checking its wrapper's
// checksum and sizes.
struct FoundStream {
    Wrapper wrapper;
    // The wrapper from its first byte to its last (a zip entry's local header to its data
    // descriptor, a gzip member's header to its size, a zlib header to its Adler-32, a PNG
    // image's signature to its IEND chunk).
    uint64_t offset = 0;
    uint64_t length = 0;
    // The raw deflate stream inside: where it starts and its length in all.
    uint64_t deflateOffset = 0;
    uint64_t deflateLength = 0;
    uint64_t contentBytes = 0;
    // A PNG image's zlib stream is split over its IDAT chunks: then the deflate stream is
    // these pieces one after the other (and deflateOffset the first's offset). Empty when
    // the stream is in one piece.
    std::vector<FilePiece> pieces;
};

// The found stream's raw deflate bytes, in one piece.
std::vector<uint8_t> DeflateBytes(const uint8_t* file, const FoundStream& stream);

struct FinderLimits {
    // A stream that inflates to more is not reported.
    uint64_t maxContentBytes = uint64_t(1) << 32;
    // Candidates that fail may inflate and read this many bytes per byte of the file, and
    // the base, in all; then the search stops, so that a file full of near misses costs
    // linear work. Near misses are common in real files: a PNG image's zlib stream split
    // over chunks inflates up to a chunk's end, often far beyond it, before it fails.
    uint64_t failedWorkPerByte = 64;
    uint64_t failedWorkBase = uint64_t(64) << 20;
};

struct FinderResult {
    std::vector<FoundStream> streams;
    // The bytes inflated in all, and whether the search stopped early on its budget.
    uint64_t work = 0;
    bool stoppedEarly = false;
};

// Looks through the bytes for zip entries of method 8 (with data descriptors and zip64
// sizes), gzip members, PNG images (their IDAT chunks' zlib stream) and zlib streams by
// their contents, not by names, in file order and
// not overlapping: the bytes of a verified stream are not searched again. Stored zip
// entries are not streams but their data is searched, so archives inside them are found.
FinderResult FindStreams(const uint8_t* data, size_t size, const FinderLimits& limits = {});

} // namespace deflatestream
