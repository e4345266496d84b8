#include "OldExpander.h"

#include "CopyRange.h"
#include "ZlibStream.h"

#include <algorithm>
#include <vector>
#include <zlib.h>

namespace recode {
namespace {

class Expander {
public:
    Expander(plumbing::Source& old, const FileStreams& streams, plumbing::Sink& out,
             const plumbing::Tick& tick, Failure& failure)
        : old_(old), streams_(streams), out_(out), tick_(tick), failure_(failure), input_(kChunk),
          output_(kChunk) {}

    bool Run();

private:
    bool Copy(uint64_t offset, uint64_t length);
    bool Inflate(const StreamPlace& place, size_t index);
    bool InflatePiece(z_stream& stream, const Piece& piece, bool last, size_t index,
                      uint64_t& content, bool& ended);
    bool Drain(z_stream& stream, size_t index, uint64_t limit, uint64_t& content, bool& ended);
    bool Mismatch(size_t index, const char* why) {
        return failure_.Set(Error::OldStreamMismatch, why, index);
    }

    plumbing::Source& old_;
    const FileStreams& streams_;
    plumbing::Sink& out_;
    const plumbing::Tick& tick_;
    Failure& failure_;
    std::vector<uint8_t> input_;
    std::vector<uint8_t> output_;
};

bool Expander::Copy(uint64_t offset, uint64_t length) {
    constexpr CopyBlame kBlame{Error::SourceReadFailed, "", Error::ScratchFailed,
                               "the expanded old file"};
    return RecordCopy(CopyRange(old_, offset, length, out_, tick_), kBlame, offset, failure_);
}

bool Expander::Run() {
    uint64_t position = 0;
    for (size_t i = 0; i < streams_.streams.size(); ++i) {
        const StreamPlace& place = streams_.streams[i];
        const Piece* pieces = streams_.PiecesOf(place);
        if (!Copy(position, pieces[0].offset - position) || !Inflate(place, i))
            return false;
        for (uint32_t p = 1; p < place.pieceCount; ++p) {
            uint64_t gapStart = pieces[p - 1].offset + pieces[p - 1].length;
            if (!Copy(gapStart, pieces[p].offset - gapStart))
                return false;
        }
        const Piece& last = pieces[place.pieceCount - 1];
        position = last.offset + last.length;
    }
    return Copy(position, old_.Size() - position);
}

bool Expander::Inflate(const StreamPlace& place, size_t index) {
    plumbing::Inflater inflater(-MAX_WBITS);
    if (!inflater.ready())
        return failure_.Set(Error::OutOfMemory, "inflate", index);
    uint64_t content = 0;
    bool ended = false;
    const Piece* pieces = streams_.PiecesOf(place);
    for (uint32_t p = 0; p < place.pieceCount; ++p) {
        if (!InflatePiece(inflater.stream(), pieces[p], p + 1 == place.pieceCount, index, content,
                          ended))
            return false;
    }
    if (!ended)
        return Mismatch(index, "the stream does not end at its last piece's end");
    if (content != place.contentBytes)
        return Mismatch(index, "the stream inflates to less than declared");
    return true;
}

bool Expander::InflatePiece(z_stream& stream, const Piece& piece, bool last, size_t index,
                            uint64_t& content, bool& ended) {
    const uint64_t limit = streams_.streams[index].contentBytes;
    for (uint64_t done = 0; done < piece.length;) {
        if (ended)
            return Mismatch(index, "the stream ends before its last piece's end");
        if (tick_ && !tick_())
            return failure_.Set(Error::Stopped, "", index);
        size_t count = static_cast<size_t>(std::min<uint64_t>(input_.size(), piece.length - done));
        if (!old_.Read(piece.offset + done, input_.data(), count))
            return failure_.Set(Error::SourceReadFailed, "", piece.offset + done);
        stream.next_in = input_.data();
        stream.avail_in = static_cast<uInt>(count);
        if (!Drain(stream, index, limit, content, ended))
            return false;
        if (stream.avail_in != 0 || (ended && !(last && done + count == piece.length)))
            return Mismatch(index, "the stream ends before its last piece's end");
        done += count;
    }
    return true;
}

// Inflates what the stream holds, refusing content beyond `limit` before it is written.
bool Expander::Drain(z_stream& stream, size_t index, uint64_t limit, uint64_t& content,
                     bool& ended) {
    do {
        stream.next_out = output_.data();
        stream.avail_out = static_cast<uInt>(output_.size());
        int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_MEM_ERROR)
            return failure_.Set(Error::OutOfMemory, "inflate", index);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            return Mismatch(index, "the stream is not deflate");
        size_t produced = output_.size() - stream.avail_out;
        if (produced > limit - content)
            return Mismatch(index, "the stream inflates to more than declared");
        content += produced;
        if (produced > 0 && !out_.Write(output_.data(), produced))
            return failure_.Set(Error::ScratchFailed, "the expanded old file", index);
        if (status == Z_STREAM_END) {
            ended = true;
            return true;
        }
        if (status == Z_BUF_ERROR && produced == 0)
            return true;
        // More output may be pending: ticks between its chunks too.
        if (stream.avail_out == 0 && tick_ && !tick_())
            return failure_.Set(Error::Stopped, "", index);
    } while (stream.avail_in > 0 || stream.avail_out == 0);
    return true;
}

} // namespace

bool ExpandOld(plumbing::Source& old, const FileStreams& streams, plumbing::Sink& out,
               const plumbing::Tick& tick, Failure& failure) {
    return Expander(old, streams, out, tick, failure).Run();
}

} // namespace recode
