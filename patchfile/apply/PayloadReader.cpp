#include "PayloadReader.h"

#include "BuildSizes.h"
#include "ChunkReader.h"
#include "Crc32.h"
#include "ZlibStream.h"

#include <vector>
#include <zlib.h>

namespace patchfile {
namespace {

constexpr size_t kChunk = quill::SizeFor<size_t>(64 * 1024, 1024);

// Inflates what is in the stream's input; Ok with `ended` set once the stream is complete.
PayloadResult InflateInput(z_stream& stream, std::vector<uint8_t>& out, plumbing::Sink& sink,
                           bool& ended) {
    do {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_MEM_ERROR)
            return PayloadResult::OutOfMemory;
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            return PayloadResult::Corrupt;
        size_t produced = out.size() - stream.avail_out;
        if (produced > 0 && !sink.Write(out.data(), produced))
            return PayloadResult::Refused;
        if (status == Z_STREAM_END) {
            ended = true;
            return PayloadResult::Ok;
        }
        if (status == Z_BUF_ERROR && produced == 0)
            return PayloadResult::Ok; // needs more input
    } while (stream.avail_in > 0 || stream.avail_out == 0);
    return PayloadResult::Ok;
}

} // namespace

PayloadResult InflatePayload(InputFile& patch, const PatchEntry& entry, plumbing::Sink& sink,
                             IoError& io) {
    plumbing::Inflater inflater(MAX_WBITS);
    if (!inflater.ready())
        return PayloadResult::OutOfMemory;
    z_stream& stream = inflater.stream();
    std::vector<uint8_t> out(kChunk);
    bool ended = false;
    PayloadResult result = PayloadResult::Ok;
    auto consume = [&](const uint8_t* data, size_t length) {
        if (ended) {
            result = PayloadResult::Corrupt; // bytes after the end of the stream
            return false;
        }
        stream.next_in = const_cast<uint8_t*>(data);
        stream.avail_in = static_cast<uInt>(length);
        result = InflateInput(stream, out, sink, ended);
        if (result == PayloadResult::Ok && ended && stream.avail_in > 0)
            result = PayloadResult::Corrupt;
        return result == PayloadResult::Ok;
    };
    ChunkResult read = ReadChunks(patch, entry.payloadOffset, entry.payloadSize, consume, io);
    if (read == ChunkResult::ReadFailed)
        return PayloadResult::ReadFailed;
    if (read == ChunkResult::Stopped)
        return result;
    return ended ? PayloadResult::Ok : PayloadResult::Corrupt;
}

PayloadResult CheckPayloadChecksum(InputFile& patch, const PatchEntry& entry,
                                   const plumbing::Tick& tick, IoError& io) {
    Crc32 crc;
    auto consume = [&](const uint8_t* data, size_t length) {
        crc.Update(data, length);
        return !tick || tick();
    };
    switch (ReadChunks(patch, entry.payloadOffset, entry.payloadSize, consume, io)) {
    case ChunkResult::ReadFailed:
        return PayloadResult::ReadFailed;
    case ChunkResult::Stopped:
        return PayloadResult::Refused;
    case ChunkResult::Done:
        break;
    }
    return crc.value() == entry.payloadCrc ? PayloadResult::Ok : PayloadResult::Corrupt;
}

} // namespace patchfile
