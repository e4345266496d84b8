#include "NewRebuilder.h"

#include "CopyRange.h"
#include "ParseLayout.h"
#include "PieceOutput.h"
#include "RegionInput.h"
#include "Writer.h"
#include "ZlibRebuild.h"

#include <algorithm>
#include <string>
#include <vector>

namespace recode {
namespace {

class Rebuilder {
public:
    Rebuilder(const StreamTables& tables, plumbing::Source& payload, plumbing::Source& old,
              plumbing::Source& expanded, plumbing::Sink& result, const plumbing::Tick& tick,
              Failure& failure)
        : tables_(tables), payload_(payload), old_(old), expanded_(expanded), result_(result),
          tick_(tick), failure_(failure) {}

    bool Run(uint64_t newSize);

private:
    bool Plain(uint64_t length);
    bool Stream(size_t index);
    bool CopyOld(const NewStream& stream, PieceOutput& out, size_t index);
    bool FromParse(const NewStream& stream, RegionInput& content, PieceOutput& out,
                   std::string& why);
    // The first cause of a failed rebuild: a stop, a read or write that failed, else the
    // stream itself.
    bool Explain(const RegionInput& content, const PieceOutput& out, const std::string& why,
                 size_t index);

    bool ParseUnreadable(const NewStream& stream) {
        bool inPayload = tables_.parseVersion == kParsesInPayload;
        return failure_.Set(inPayload ? Error::PayloadReadFailed : Error::ScratchFailed,
                            inPayload ? "" : "the expanded new file", stream.parseOffset);
    }

    const StreamTables& tables_;
    plumbing::Source& payload_; // where the parses are
    plumbing::Source& old_;
    plumbing::Source& expanded_;
    plumbing::Sink& result_;
    const plumbing::Tick& tick_;
    Failure& failure_;
    uint64_t expandedAt_ = 0;
};

bool Rebuilder::Run(uint64_t newSize) {
    uint64_t fileAt = 0;
    for (size_t i = 0; i < tables_.newStreams.size(); ++i) {
        const StreamPlace& place = tables_.newStreams[i].place;
        const Piece* pieces = tables_.fresh.PiecesOf(place);
        if (!Plain(pieces[0].offset - fileAt) || !Stream(i))
            return false;
        const Piece& last = pieces[place.pieceCount - 1];
        fileAt = last.offset + last.length;
    }
    return Plain(newSize - fileAt);
}

bool Rebuilder::Plain(uint64_t length) {
    constexpr CopyBlame kBlame{Error::ScratchFailed, "the expanded new file", Error::SinkRefused,
                               ""};
    if (!RecordCopy(CopyRange(expanded_, expandedAt_, length, result_, tick_), kBlame, expandedAt_,
                    failure_))
        return false;
    expandedAt_ += length;
    return true;
}

bool Rebuilder::Stream(size_t index) {
    const NewStream& stream = tables_.newStreams[index];
    const StreamPlace& place = stream.place;
    const Piece* pieces = tables_.fresh.PiecesOf(place);
    const Piece& last = pieces[place.pieceCount - 1];
    uint64_t gaps = last.offset + last.length - pieces[0].offset - place.deflateBytes;
    RegionInput content(expanded_, expandedAt_, place.contentBytes, tick_);
    PieceOutput out(pieces, place.pieceCount, expanded_, expandedAt_ + place.contentBytes, result_,
                    tick_);
    std::string why;
    bool rebuilt = false;
    switch (stream.how) {
    case Rebuild::CopyOld:
        if (!CopyOld(stream, out, index))
            return false;
        rebuilt = true;
        break;
    case Rebuild::Zlib:
        rebuilt = DeflateWithZlib(stream.zlib, content, out, why);
        break;
    case Rebuild::Parse:
        rebuilt = FromParse(stream, content, out, why);
        break;
    }
    if (!rebuilt || !out.Complete())
        return Explain(content, out, rebuilt ? "the stream is shorter than its pieces" : why,
                       index);
    expandedAt_ += place.contentBytes + gaps;
    return true;
}

bool Rebuilder::CopyOld(const NewStream& stream, PieceOutput& out, size_t index) {
    const StreamPlace& old = tables_.old.streams[stream.oldIndex];
    const Piece* pieces = tables_.old.PiecesOf(old);
    std::vector<uint8_t> buffer(kChunk);
    for (uint32_t p = 0; p < old.pieceCount; ++p) {
        for (uint64_t done = 0; done < pieces[p].length;) {
            if (tick_ && !tick_())
                return failure_.Set(Error::Stopped, "", index);
            size_t count =
                static_cast<size_t>(std::min<uint64_t>(buffer.size(), pieces[p].length - done));
            if (!old_.Read(pieces[p].offset + done, buffer.data(), count))
                return failure_.Set(Error::SourceReadFailed, "", pieces[p].offset + done);
            if (!out.Write(buffer.data(), count)) {
                RegionInput unused(expanded_, 0, 0, tick_);
                return Explain(unused, out, "", index);
            }
            done += count;
        }
    }
    return true;
}

bool Rebuilder::FromParse(const NewStream& stream, RegionInput& content, PieceOutput& out,
                          std::string& why) {
    ParseLayout layout;
    RegionInput head(payload_, stream.parseOffset, stream.parseBytes, tick_);
    if (!ReadParseLayout(head, stream.parseBytes, layout)) {
        if (head.readFailed())
            return ParseUnreadable(stream);
        why = "the parse's sizes are damaged";
        return false;
    }
    std::vector<RegionInput> parts;
    uint64_t at = stream.parseOffset + layout.headBytes;
    for (uint64_t length : layout.streamBytes) {
        parts.emplace_back(payload_, at, length, tick_);
        at += length;
    }
    deflatestream::ParseInputs inputs{
        parts[0], parts[1], parts[2], parts[3], parts[4], layout.contentBytes, layout.deflateBytes};
    if (deflatestream::WriteDeflate(inputs, content, out, why))
        return true;
    for (const RegionInput& part : parts) {
        if (part.readFailed())
            return ParseUnreadable(stream);
        if (part.stopped())
            return failure_.Set(Error::Stopped, "", stream.parseOffset);
    }
    return false;
}

bool Rebuilder::Explain(const RegionInput& content, const PieceOutput& out, const std::string& why,
                        size_t index) {
    if (content.stopped() || out.fault() == PieceOutput::Fault::Stopped)
        return failure_.Set(Error::Stopped, "", index);
    if (content.readFailed() || out.fault() == PieceOutput::Fault::GapReadFailed)
        return failure_.Set(Error::ScratchFailed, "the expanded new file", index);
    if (out.fault() == PieceOutput::Fault::ResultRefused)
        return failure_.Set(Error::SinkRefused, "", index);
    if (out.fault() == PieceOutput::Fault::TooLong)
        return failure_.Set(Error::RebuildFailed, "the stream is longer than its pieces", index);
    return failure_.Set(Error::RebuildFailed, why, index);
}

} // namespace

bool RebuildNew(const StreamTables& tables, uint64_t newSize, plumbing::Source& parses,
                plumbing::Source& old, plumbing::Source& expanded, plumbing::Sink& result,
                const plumbing::Tick& tick, Failure& failure) {
    return Rebuilder(tables, parses, old, expanded, result, tick, failure).Run(newSize);
}

} // namespace recode
