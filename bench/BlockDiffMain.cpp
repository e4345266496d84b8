// bench_blockdiff: encodes an old/new pair with the block delta codec and prints the payload's
// size, each stream's raw and stored bytes and the coders chosen, the build time, the decode
// time (best of three, to a sink that drops the bytes, then once more compared with the new
// file) and the longest wait between two ticks while decoding.
//
//   bench_blockdiff [--threads=N] [--coders=store,deflate,zstd,xz] [--whole-old-limit=BYTES]
//                   [--out=PAYLOAD] OLD NEW
// --whole-old-limit: the largest old file indexed whole (smaller ones are indexed in parts).
#include "BenchFiles.h"
#include "BlockDecoder.h"
#include "BlockEncoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Arguments {
    blockdiff::EncoderOptions options;
    std::string out;
    std::string oldPath;
    std::string newPath;
};

blockdiff::CoderSet ParseCoders(const std::string& list) {
    blockdiff::CoderSet set = 0;
    for (uint8_t value = 0; value < coders::kCoderCount; ++value) {
        const coders::Coder coder = static_cast<coders::Coder>(value);
        if (list.find(coders::CoderName(coder)) != std::string::npos) {
            set |= blockdiff::CoderBit(coder);
        }
    }
    return set;
}

bool Parse(int argc, char** argv, Arguments& args) {
    std::string positional[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* name) {
            return arg.rfind(name, 0) == 0 ? arg.substr(std::strlen(name)) : std::string();
        };
        if (!value("--threads=").empty()) {
            args.options.threads = static_cast<unsigned>(std::atoi(value("--threads=").c_str()));
        } else if (!value("--coders=").empty()) {
            args.options.coders = ParseCoders(value("--coders="));
        } else if (!value("--whole-old-limit=").empty()) {
            args.options.wholeOldLimit =
                std::strtoull(value("--whole-old-limit=").c_str(), nullptr, 10);
        } else if (!value("--out=").empty()) {
            args.out = value("--out=");
        } else if (count < 2 && arg.rfind("--", 0) != 0) {
            positional[count++] = arg;
        } else {
            return false;
        }
    }
    args.oldPath = positional[0];
    args.newPath = positional[1];
    return count == 2;
}

void PrintReport(const blockdiff::EncodeReport& report) {
    static const char* const kNames[] = {"covers", "positions", "differences", "literals"};
    std::printf(
        "blocks=%llu dense_blocks=%llu covers=%llu covered_bytes=%llu indexed_in_parts=%d\n",
        static_cast<unsigned long long>(report.blocks),
        static_cast<unsigned long long>(report.denseBlocks),
        static_cast<unsigned long long>(report.covers),
        static_cast<unsigned long long>(report.coveredBytes), report.indexedInParts);
    for (size_t i = 0; i < blockdiff::format::kStreamCount; ++i) {
        const blockdiff::EncodeReport::Stream& stream = report.streams[i];
        std::printf("stream=%s raw=%llu stored=%llu", kNames[i],
                    static_cast<unsigned long long>(stream.rawBytes),
                    static_cast<unsigned long long>(stream.storedBytes));
        for (uint8_t c = 0; c < coders::kCoderCount; ++c) {
            std::printf(" %s=%llu", coders::CoderName(static_cast<coders::Coder>(c)),
                        static_cast<unsigned long long>(stream.blocksByCoder[c]));
        }
        std::printf("\n");
    }
}

// Decodes once into `sink`; the longest wait between ticks goes to `longestGap`.
bool DecodeOnce(const std::vector<uint8_t>& payload, plumbing::Source& old, plumbing::Sink& sink,
                double& longestGap) {
    bench::MemorySource in(payload);
    Clock::time_point last = Clock::now();
    longestGap = 0;
    const plumbing::Tick tick = [&] {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, std::chrono::duration<double>(now - last).count());
        last = now;
        return true;
    };
    blockdiff::Failure failure;
    const bool ok = blockdiff::Decode(in, &old, sink, tick, failure);
    longestGap = std::max(longestGap, Seconds(last));
    if (!ok) {
        std::fprintf(stderr, "bench_blockdiff: decoding failed: %s\n", failure.Message().c_str());
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::fputs("usage: bench_blockdiff [--threads=N] [--coders=LIST] [--whole-old-limit=BYTES] "
                   "[--out=PAYLOAD] OLD NEW\n",
                   stderr);
        return 1;
    }
    bench::FileSource old(args.oldPath);
    bench::FileSource newFile(args.newPath);
    if (!old.ok() || !newFile.ok()) {
        std::fputs("bench_blockdiff: cannot open the files\n", stderr);
        return 1;
    }
    bench::MemorySink payload;
    blockdiff::EncodeReport report;
    blockdiff::Failure failure;
    const Clock::time_point buildStart = Clock::now();
    if (!blockdiff::Encode(&old, newFile, payload, args.options, {}, &report, failure)) {
        std::fprintf(stderr, "bench_blockdiff: encoding failed: %s\n", failure.Message().c_str());
        return 2;
    }
    const double build = Seconds(buildStart);
    if (!args.out.empty()) {
        FILE* file = std::fopen(args.out.c_str(), "wb");
        if (!file ||
            std::fwrite(payload.bytes.data(), 1, payload.bytes.size(), file) !=
                payload.bytes.size() ||
            std::fclose(file) != 0) {
            std::fputs("bench_blockdiff: cannot write the payload\n", stderr);
            return 1;
        }
    }
    double best = 1e9;
    double longestGap = 0;
    for (int run = 0; run < 3; ++run) {
        bench::DiscardSink sink;
        double gap = 0;
        const Clock::time_point start = Clock::now();
        if (!DecodeOnce(payload.bytes, old, sink, gap)) {
            return 3;
        }
        best = std::min(best, Seconds(start));
        longestGap = std::max(longestGap, gap);
    }
    bench::CompareSink compare(newFile);
    double gap = 0;
    const bool same = DecodeOnce(payload.bytes, old, compare, gap) && compare.matched();
    std::printf("old_bytes=%llu new_bytes=%llu payload_bytes=%llu build_s=%.2f decode_s=%.3f "
                "longest_tick_gap_ms=%.2f result=%s\n",
                static_cast<unsigned long long>(old.Size()),
                static_cast<unsigned long long>(newFile.Size()),
                static_cast<unsigned long long>(payload.bytes.size()), build, best,
                longestGap * 1000, same ? "identical" : "DIFFERENT");
    PrintReport(report);
    return same ? 0 : 4;
}
