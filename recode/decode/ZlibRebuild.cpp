#include "ZlibRebuild.h"

#include "CopyRange.h"
#include "ZlibStream.h"

#include <vector>
#include <zlib.h>

namespace recode {
namespace {

// Deflates what the stream holds; `done` once a finish has ended the stream.
bool Pump(z_stream& stream, int flush, std::vector<uint8_t>& out, deflatestream::ByteOutput& sink,
          bool& done, std::string& why) {
    do {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        int status = deflate(&stream, flush);
        if (status == Z_STREAM_ERROR) {
            why = "zlib's deflate failed";
            return false;
        }
        size_t produced = out.size() - stream.avail_out;
        if (produced > 0 && !sink.Write(out.data(), produced)) {
            why = "the stream's output stopped";
            return false;
        }
        done = status == Z_STREAM_END;
    } while (stream.avail_out == 0 || (flush == Z_FINISH && !done));
    return true;
}

} // namespace

bool DeflateWithZlib(const ZlibSettings& settings, deflatestream::ByteInput& content,
                     deflatestream::ByteOutput& out, std::string& why) {
    if (!ValidZlibSettings(settings)) {
        why = "zlib settings zlib does not have";
        return false;
    }
    plumbing::Deflater deflater(settings.level, -static_cast<int>(settings.windowBits),
                                settings.memLevel, settings.strategy);
    if (!deflater.ready()) {
        why = "zlib's deflate could not start";
        return false;
    }
    z_stream& stream = deflater.stream();
    std::vector<uint8_t> input(kDeflateChunk), output(kChunk);
    bool done = false;
    for (;;) {
        size_t count = content.Read(input.data(), input.size());
        stream.next_in = input.data();
        stream.avail_in = static_cast<uInt>(count);
        if (!Pump(stream, count == 0 ? Z_FINISH : Z_NO_FLUSH, output, out, done, why))
            return false;
        if (count == 0)
            return true;
    }
}

} // namespace recode
