#include "TablesReader.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace recode {
namespace {

// The payload read in order through a buffer: the tables are many small fields.
class FieldReader {
public:
    FieldReader(plumbing::Source& source, Failure& failure) : source_(source), failure_(failure) {}

    bool Bytes(uint8_t* out, size_t length) {
        while (length > 0) {
            if (next_ == end_ && !Fill())
                return false;
            size_t count = std::min(length, end_ - next_);
            std::memcpy(out, buffer_ + next_, count);
            next_ += count;
            out += count;
            length -= count;
        }
        return true;
    }
    bool Number(uint64_t& value, size_t width) {
        uint8_t bytes[8];
        if (!Bytes(bytes, width))
            return false;
        value = plumbing::LoadLittleEndian(bytes, width);
        return true;
    }
    uint64_t Position() const { return base_ + next_; }

private:
    bool Fill() {
        base_ += end_;
        next_ = end_ = 0;
        if (base_ >= source_.Size())
            return failure_.Set(Error::Truncated, "in the stream tables", base_);
        size_t count =
            static_cast<size_t>(std::min<uint64_t>(sizeof(buffer_), source_.Size() - base_));
        if (!source_.Read(base_, buffer_, count))
            return failure_.Set(Error::PayloadReadFailed, "", base_);
        end_ = count;
        return true;
    }

    plumbing::Source& source_;
    Failure& failure_;
    uint8_t buffer_[4096];
    uint64_t base_ = 0;
    size_t next_ = 0;
    size_t end_ = 0;
};

class TablesReader {
public:
    TablesReader(plumbing::Source& payload, Failure& failure)
        : payload_(payload), in_(payload, failure), failure_(failure) {}

    bool Read(uint64_t oldSize, uint64_t newSize, StreamTables& tables);

private:
    bool Damaged(const char* why) { return failure_.Set(Error::BadTables, why, in_.Position()); }
    bool Header(uint64_t& oldCount, uint64_t& newCount);
    bool Place(uint64_t fileSize, FileStreams& file, StreamPlace& place);
    bool HowRebuilt(const StreamTables& tables, NewStream& stream);
    bool Parses(uint64_t newSize, StreamTables& tables);

    plumbing::Source& payload_;
    FieldReader in_;
    Failure& failure_;
    // The end of the last piece read of the current file: pieces come in file order.
    uint64_t end_ = 0;
    // The current file's contents together, so far.
    uint64_t expanded_ = 0;
    uint8_t version_ = kParseVersion;
};

bool TablesReader::Header(uint64_t& oldCount, uint64_t& newCount) {
    uint8_t magic[sizeof(kMagic)];
    uint64_t version = 0;
    if (!in_.Bytes(magic, sizeof(magic)))
        return false;
    if (std::memcmp(magic, kMagic, sizeof(kMagic)) != 0)
        return failure_.Set(Error::BadMagic, "", 0);
    if (!in_.Number(version, 1) || !in_.Number(oldCount, 4) || !in_.Number(newCount, 4))
        return false;
    if (version != kParsesInPayload && version != kParsesInDelta)
        return Damaged("an unknown parse version");
    version_ = static_cast<uint8_t>(version);
    if (oldCount > kMaxPieces || newCount > kMaxPieces)
        return Damaged("more streams than pieces may be");
    return true;
}

bool TablesReader::Place(uint64_t fileSize, FileStreams& file, StreamPlace& place) {
    uint64_t count = 0;
    if (!in_.Number(place.contentBytes, 8) || !in_.Number(count, 4))
        return false;
    if (count == 0 || count > kMaxPieces - file.pieces.size())
        return Damaged("a stream of no pieces, or too many pieces");
    place.firstPiece = static_cast<uint32_t>(file.pieces.size());
    place.pieceCount = static_cast<uint32_t>(count);
    for (uint64_t i = 0; i < count; ++i) {
        Piece piece;
        if (!in_.Number(piece.offset, 8) || !in_.Number(piece.length, 8))
            return false;
        if (piece.offset < end_ || piece.length == 0 || piece.offset > fileSize ||
            piece.length > fileSize - piece.offset)
            return Damaged("a piece out of order, empty or beyond its file");
        end_ = piece.offset + piece.length;
        place.deflateBytes += piece.length; // at most the file's size: pieces do not overlap
        file.pieces.push_back(piece);
    }
    if (place.contentBytes / kMaxInflateRatio > place.deflateBytes)
        return Damaged("a stream claims more content than deflate can hold");
    // The expanded file stays addressable: the sum of the contents cannot overflow.
    if (place.contentBytes > kMaxExpandedSize - expanded_)
        return Damaged("the expanded file would be too large");
    expanded_ += place.contentBytes;
    return true;
}

bool TablesReader::HowRebuilt(const StreamTables& tables, NewStream& stream) {
    uint64_t how = 0;
    if (!in_.Number(how, 1))
        return false;
    switch (how) {
    case static_cast<uint8_t>(Rebuild::CopyOld): {
        uint64_t index = 0;
        if (!in_.Number(index, 4))
            return false;
        if (index >= tables.old.streams.size())
            return Damaged("a copy of an old stream that is not listed");
        const StreamPlace& old = tables.old.streams[index];
        if (old.deflateBytes != stream.place.deflateBytes ||
            old.contentBytes != stream.place.contentBytes)
            return Damaged("a copied stream's sizes differ from the old one's");
        stream.oldIndex = static_cast<uint32_t>(index);
        break;
    }
    case static_cast<uint8_t>(Rebuild::Zlib): {
        uint8_t settings[4];
        if (!in_.Bytes(settings, sizeof(settings)))
            return false;
        stream.zlib = {settings[0], settings[1], settings[2], settings[3]};
        if (!ValidZlibSettings(stream.zlib))
            return Damaged("zlib settings zlib does not have");
        break;
    }
    case static_cast<uint8_t>(Rebuild::Parse):
        if (!in_.Number(stream.parseBytes, 8))
            return false;
        if (stream.parseBytes > kMaxParseRatio * stream.place.deflateBytes + kParseSlack)
            return Damaged("a parse larger than its stream can need");
        break;
    default:
        return Damaged("an unknown way to rebuild a stream");
    }
    stream.how = static_cast<Rebuild>(how);
    return true;
}

// Version 1: the parses follow the tables in the payload. Version 2: they follow the expanded
// new file in the delta's output (each bounded by its stream, so the sum cannot overflow).
bool TablesReader::Parses(uint64_t newSize, StreamTables& tables) {
    tables.parseVersion = version_;
    const bool inPayload = version_ == kParsesInPayload;
    const uint64_t start = inPayload ? in_.Position() : ExpandedSize(newSize, tables.newStreams);
    uint64_t offset = start;
    for (NewStream& stream : tables.newStreams) {
        if (stream.how != Rebuild::Parse)
            continue;
        if (inPayload && stream.parseBytes > payload_.Size() - offset)
            return failure_.Set(Error::Truncated, "in a parse", offset);
        stream.parseOffset = offset;
        offset += stream.parseBytes;
    }
    tables.deltaOffset = inPayload ? offset : in_.Position();
    tables.parsesInDelta = inPayload ? 0 : offset - start;
    return true;
}

bool TablesReader::Read(uint64_t oldSize, uint64_t newSize, StreamTables& tables) {
    uint64_t oldCount = 0, newCount = 0;
    if (!Header(oldCount, newCount))
        return false;
    tables = StreamTables();
    tables.old.streams.resize(static_cast<size_t>(oldCount));
    for (StreamPlace& place : tables.old.streams) {
        if (!Place(oldSize, tables.old, place))
            return false;
    }
    end_ = expanded_ = 0;
    tables.newStreams.resize(static_cast<size_t>(newCount));
    for (NewStream& stream : tables.newStreams) {
        if (!Place(newSize, tables.fresh, stream.place) || !HowRebuilt(tables, stream))
            return false;
    }
    return Parses(newSize, tables);
}

} // namespace

bool ReadTables(plumbing::Source& payload, uint64_t oldSize, uint64_t newSize, StreamTables& tables,
                Failure& failure) {
    return TablesReader(payload, failure).Read(oldSize, newSize, tables);
}

} // namespace recode
