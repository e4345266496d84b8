// Measures what the deflate parse and zlib make of real files: every stream the finder
// finds is parsed, rebuilt from its parse and content and compared, and zlib's settings
// that rebuild it are looked for. The parse's size is given as serialized and with each of
// its streams compressed by xz on its own, as a patch would store it. One line per stream,
// then totals per file:
//   deflate_scan [-n] FILE...     (-n: no zlib search)
#include "DeflateParse.h"
#include "Encoders.h"
#include "Parser.h"
#include "StreamFinder.h"
#include "Writer.h"
#include "ZlibParameters.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace deflatestream;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Totals {
    size_t streams = 0;
    size_t rebuilt = 0;
    size_t byZlib = 0;
    uint64_t deflateBytes = 0;
    uint64_t contentBytes = 0;
    uint64_t parseBytes = 0;
    uint64_t packedBytes = 0;
    double parseSeconds = 0;
    double writeSeconds = 0;
    double searchSeconds = 0;
};

size_t PackedSize(const DeflateParse& parse) {
    size_t total = 0;
    for (const std::vector<uint8_t>* stream : {&parse.blocks, &parse.literalRuns, &parse.lengths,
                                               &parse.distances, &parse.longLengths}) {
        std::vector<uint8_t> packed;
        if (!stream->empty() && coders::EncodeXz(stream->data(), stream->size(), packed)) {
            total += packed.size();
        }
    }
    return total;
}

bool ZlibHintsFor(const std::vector<uint8_t>& file, const FoundStream& s, ZlibHints& hints) {
    if (s.wrapper == Wrapper::kZlibStream) {
        return HintsFromZlibHeader(file.data() + s.offset, 2, hints);
    }
    // A PNG image's zlib header is the first IDAT chunk's first two bytes.
    if (s.wrapper == Wrapper::kPngImage) {
        return HintsFromZlibHeader(file.data() + s.deflateOffset - 2, 2, hints);
    }
    return true;
}

void Measure(const std::vector<uint8_t>& file, const FoundStream& s, bool searchZlib,
             Totals& totals) {
    const std::vector<uint8_t> bytes = DeflateBytes(file.data(), s);
    const uint8_t* stream = bytes.data();
    std::vector<uint8_t> content, rebuilt;
    DeflateParse parse;
    std::string why;
    const auto parseStart = Clock::now();
    StreamFacts facts;
    const bool parsed = ParseDeflate(stream, s.deflateLength, content, parse, why, {}, &facts);
    totals.parseSeconds += Seconds(parseStart);
    const auto writeStart = Clock::now();
    const bool written =
        parsed && WriteDeflate(parse, content.data(), content.size(), rebuilt, why);
    totals.writeSeconds += Seconds(writeStart);
    const bool same = written && rebuilt.size() == s.deflateLength &&
                      std::memcmp(rebuilt.data(), stream, rebuilt.size()) == 0;
    const size_t parseBytes = SerializeParse(parse).size();
    const size_t packedBytes = PackedSize(parse);
    std::string zlib = "-";
    ZlibHints hints;
    ZlibParameters found;
    unsigned tried = 0;
    HintsFromFacts(facts, hints);
    if (searchZlib && parsed && ZlibHintsFor(file, s, hints)) {
        const auto searchStart = Clock::now();
        const bool reproduced = FindZlibParameters(content.data(), content.size(), stream,
                                                   s.deflateLength, hints, found, tried);
        zlib = reproduced ? Describe(found) + " (" + std::to_string(tried) + " tried)"
                          : "no (" + std::to_string(tried) + " tried)";
        totals.searchSeconds += Seconds(searchStart);
        totals.byZlib += reproduced;
    }
    std::printf(
        "  %-4s at %llu deflate %llu content %llu parse %zu packed %zu rebuilt %s zlib %s\n",
        WrapperName(s.wrapper), static_cast<unsigned long long>(s.offset),
        static_cast<unsigned long long>(s.deflateLength),
        static_cast<unsigned long long>(s.contentBytes), parseBytes, packedBytes,
        same ? "yes" : ("NO: " + why).c_str(), zlib.c_str());
    ++totals.streams;
    totals.rebuilt += same;
    totals.deflateBytes += s.deflateLength;
    totals.contentBytes += s.contentBytes;
    totals.parseBytes += parseBytes;
    totals.packedBytes += packedBytes;
}

} // namespace

int main(int argc, char** argv) {
    bool searchZlib = true;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "-n") == 0) {
        searchZlib = false;
        first = 2;
    }
    for (int i = first; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
        const auto findStart = Clock::now();
        const FinderResult found = FindStreams(file.data(), file.size());
        const double findSeconds = Seconds(findStart);
        std::printf("%s: %zu bytes, %zu streams found in %.3f s%s\n", argv[i], file.size(),
                    found.streams.size(), findSeconds,
                    found.stoppedEarly ? " (stopped early)" : "");
        Totals totals;
        for (const FoundStream& s : found.streams) {
            Measure(file, s, searchZlib, totals);
        }
        const double mb = static_cast<double>(totals.contentBytes) / 1e6;
        std::printf(
            "total %s: streams %zu rebuilt %zu by-zlib %zu deflate %llu content %llu "
            "parse %llu (%.3f of deflate) packed %llu (%.3f) parse %.1f MB/s write %.1f MB/s "
            "zlib search %.2f s\n",
            argv[i], totals.streams, totals.rebuilt, totals.byZlib,
            static_cast<unsigned long long>(totals.deflateBytes),
            static_cast<unsigned long long>(totals.contentBytes),
            static_cast<unsigned long long>(totals.parseBytes),
            totals.deflateBytes
                ? static_cast<double>(totals.parseBytes) / static_cast<double>(totals.deflateBytes)
                : 0.0,
            static_cast<unsigned long long>(totals.packedBytes),
            totals.deflateBytes
                ? static_cast<double>(totals.packedBytes) / static_cast<double>(totals.deflateBytes)
                : 0.0,
            mb / totals.parseSeconds, mb / totals.writeSeconds, totals.searchSeconds);
    }
    return 0;
}
