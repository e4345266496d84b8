#include "TablesWriter.h"

#include "LittleEndian.h"

namespace recode {
namespace {

using plumbing::AppendLittleEndian;

void WritePlace(const FileStreams& file, const StreamPlace& place, std::vector<uint8_t>& out) {
    AppendLittleEndian(out, place.contentBytes, 8);
    AppendLittleEndian(out, place.pieceCount, 4);
    const Piece* pieces = file.PiecesOf(place);
    for (uint32_t i = 0; i < place.pieceCount; ++i) {
        AppendLittleEndian(out, pieces[i].offset, 8);
        AppendLittleEndian(out, pieces[i].length, 8);
    }
}

void WriteHow(const NewStream& stream, std::vector<uint8_t>& out) {
    out.push_back(static_cast<uint8_t>(stream.how));
    switch (stream.how) {
    case Rebuild::CopyOld:
        AppendLittleEndian(out, stream.oldIndex, 4);
        break;
    case Rebuild::Zlib:
        out.insert(out.end(), {stream.zlib.level, stream.zlib.memLevel, stream.zlib.windowBits,
                               stream.zlib.strategy});
        break;
    case Rebuild::Parse:
        AppendLittleEndian(out, stream.parseBytes, 8);
        break;
    }
}

} // namespace

std::vector<uint8_t> WriteTables(const StreamTables& tables) {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof(kMagic));
    out.push_back(kParseVersion);
    AppendLittleEndian(out, tables.old.streams.size(), 4);
    AppendLittleEndian(out, tables.newStreams.size(), 4);
    for (const StreamPlace& place : tables.old.streams)
        WritePlace(tables.old, place, out);
    for (const NewStream& stream : tables.newStreams) {
        WritePlace(tables.fresh, stream.place, out);
        WriteHow(stream, out);
    }
    return out;
}

} // namespace recode
