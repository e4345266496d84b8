#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The tables at the head of a recoded payload (docs/patch-format.md, "Payload method 2"):
// where the old file's deflate streams lie and what they inflate to, and how each of the new
// file's streams is rebuilt. Both files are also seen *expanded*: each listed stream
// replaced by its content followed by the bytes between its pieces (a PNG image's chunk
// headers and CRCs), everything else as it is. The payload's block delta turns the
// expanded old file into the expanded new one.
namespace recode {

constexpr uint8_t kMagic[4] = {'Q', 'D', 'F', 'R'};
// Where the listed parses are, each in SerializeParse's layout (docs/deflate-recoding.md);
// both are read. 1: raw in the payload after the tables. 2: after the expanded new file in
// the block delta's output, so that the delta's coders compress them (a parse is as large
// as its stream or larger).
constexpr uint8_t kParsesInPayload = 1;
constexpr uint8_t kParsesInDelta = 2;
constexpr uint8_t kParseVersion = kParsesInDelta; // the one written
// A parse spends at most a few bytes on each symbol of its stream, and a symbol takes at
// least a bit: a larger parse is damage.
constexpr uint64_t kMaxParseRatio = 32;
constexpr uint64_t kParseSlack = 1024;
constexpr size_t kHeaderSize = 13; // magic, parse version, old and new stream counts
// Pieces of one file's streams, together: the tables stay a few MiB whatever they say.
constexpr uint32_t kMaxPieces = 1u << 16;
// Deflate spends at least two bits on a match of 258 bytes: no stream inflates to more
// than this many bytes per compressed byte, so a larger claim is damage, not a bomb.
constexpr uint64_t kMaxInflateRatio = 1032;
// The streams' contents of one file together, at most: far beyond any real file, and an
// expanded size below it cannot overflow.
constexpr uint64_t kMaxExpandedSize = uint64_t(1) << 50;

struct Piece {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// One deflate stream of a file: its pieces (in file order, one unless a PNG image splits it
// over chunks) and its content's size.
struct StreamPlace {
    uint64_t contentBytes = 0;
    uint32_t firstPiece = 0; // into the table's pieces
    uint32_t pieceCount = 0;
    uint64_t deflateBytes = 0; // the pieces' lengths together
};

enum class Rebuild : uint8_t {
    CopyOld = 0, // the old stream's compressed bytes as they are (its content is unchanged)
    Zlib = 1,    // zlib's deflate of the content with these settings
    Parse = 2,   // the parse (parse version 1) over the content
};

struct ZlibSettings {
    uint8_t level = 6;       // 0 to 9
    uint8_t memLevel = 8;    // 1 to 9
    uint8_t windowBits = 15; // 9 to 15
    uint8_t strategy = 0;    // 0 to 4, zlib's Z_DEFAULT_STRATEGY to Z_FIXED
};

struct NewStream {
    StreamPlace place;
    Rebuild how = Rebuild::Parse;
    uint32_t oldIndex = 0; // CopyOld
    ZlibSettings zlib;     // Zlib
    uint64_t parseBytes = 0;
    // Parse: where it starts in the payload (version 1) or in the delta's output (version
    // 2); derived.
    uint64_t parseOffset = 0;
};

struct FileStreams {
    std::vector<StreamPlace> streams;
    std::vector<Piece> pieces;
    const Piece* PiecesOf(const StreamPlace& place) const {
        return pieces.data() + place.firstPiece;
    }
};

struct StreamTables {
    FileStreams old;
    FileStreams fresh; // the new file's pieces; `newStreams` describe its streams
    std::vector<NewStream> newStreams;
    uint8_t parseVersion = kParseVersion;
    // Where the block delta starts in the payload.
    uint64_t deltaOffset = 0;
    // The parses' bytes in the block delta's output, after the expanded new file (version 2).
    uint64_t parsesInDelta = 0;
};

// The size of a file of `fileSize` bytes expanded: checked by the reader not to overflow.
uint64_t ExpandedSize(uint64_t fileSize, const std::vector<StreamPlace>& streams);
uint64_t ExpandedSize(uint64_t fileSize, const std::vector<NewStream>& streams);

// Whether the settings are ones zlib's deflate takes.
bool ValidZlibSettings(const ZlibSettings& settings);

} // namespace recode
