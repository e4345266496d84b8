// bench_storms: times the decoder on hostile inputs shaped to make it read the old file over
// and over, and prints the reads and bytes it asked of the old file. Not a test: it measures.
//
//   bench_storms covers OLD      one-byte covers cycling over five offsets 512 KiB apart,
//                                4 MiB written; OLD is where the old file is written, then read
//   bench_storms imports         a 64 MiB PE32 whose import table alternates between its
//                                descriptors and thunks far from them
//   bench_storms parse IMAGE N   parses IMAGE with every read from the N-th on failing, as a
//                                stop answer or a read error makes them fail (N 0: none fails)
#include "BenchFiles.h"
#include "BlockDecoder.h"
#include "BlockHeader.h"
#include "CachedReader.h"
#include "CoverCoding.h"
#include "ImageReferences.h"
#include "ImageWriter.h"
#include "PayloadHeader.h"
#include "StreamEncoder.h"

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Counts the reads of an old file; from read `failFrom` on (0: never) every read fails after
// reading, as the engine's reads fail once its tick has answered stop.
class CountingSource : public plumbing::Source {
public:
    CountingSource(plumbing::Source& inner, uint64_t failFrom)
        : inner_(inner), failFrom_(failFrom) {}
    uint64_t Size() const override { return inner_.Size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        ++reads;
        bytes += length;
        // Read first, as the engine's file source does before its tick answers stop.
        return inner_.Read(offset, buffer, length) && (failFrom_ == 0 || reads < failFrom_);
    }

    uint64_t reads = 0;
    uint64_t bytes = 0;

private:
    plumbing::Source& inner_;
    uint64_t failFrom_;
};

void PrintReads(const char* what, double seconds, const CountingSource& old, uint64_t of) {
    std::printf("%s: %.3f s, %llu reads, %llu bytes read (%.2f per byte of %llu)\n", what, seconds,
                static_cast<unsigned long long>(old.reads),
                static_cast<unsigned long long>(old.bytes),
                static_cast<double>(old.bytes) / static_cast<double>(of),
                static_cast<unsigned long long>(of));
}

constexpr size_t kCoversPerBlock = 256 * 1024;
constexpr size_t kCoverBlocks = 16;
// Five places 512 KiB apart: one more than a set of the old set-associative cache held.
constexpr uint64_t kPlaces = 5;
constexpr uint64_t kSetStride = 64 * plumbing::CachedReader::kBlockSize;

// Blocks of one-byte covers, each from the next of kPlaces offsets one set stride apart.
Bytes CyclingCovers(const Bytes& old) {
    Bytes payload;
    blockdiff::AppendPayloadHeader(kCoversPerBlock * kCoverBlocks, false, payload);
    for (size_t b = 0; b < kCoverBlocks; ++b) {
        Bytes records;
        Bytes output;
        uint64_t oldEnd = 0;
        for (size_t i = 0; i < kCoversPerBlock; ++i) {
            const blockdiff::Cover cover{static_cast<uint32_t>(i), 7 + (i % kPlaces) * kSetStride,
                                         1};
            blockdiff::AppendCoverRecord(records, cover, static_cast<uint32_t>(i), oldEnd);
            output.push_back(old[cover.oldStart]);
            oldEnd = cover.oldStart + 1;
        }
        Bytes stored;
        coders::Encode(coders::Coder::Zstd, records.data(), records.size(), stored);
        blockdiff::BlockHeader header;
        header.outputSize = static_cast<uint32_t>(output.size());
        header.outputCrc = static_cast<uint32_t>(
            crc32(crc32(0, nullptr, 0), output.data(), static_cast<uInt>(output.size())));
        header.streams[blockdiff::format::kCovers] = {coders::Coder::Zstd,
                                                      static_cast<uint32_t>(records.size()),
                                                      static_cast<uint32_t>(stored.size())};
        blockdiff::AppendBlockHeader(header, payload);
        payload.insert(payload.end(), stored.begin(), stored.end());
    }
    return payload;
}

int Covers(const std::string& oldPath) {
    Bytes old(kPlaces * kSetStride);
    for (size_t i = 0; i < old.size(); ++i) {
        old[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    }
    FILE* file = std::fopen(oldPath.c_str(), "wb");
    if (!file || std::fwrite(old.data(), 1, old.size(), file) != old.size() || std::fclose(file)) {
        std::fprintf(stderr, "bench_storms: cannot write %s\n", oldPath.c_str());
        return 1;
    }
    const Bytes payload = CyclingCovers(old);
    bench::FileSource oldFile(oldPath);
    CountingSource counted(oldFile, 0);
    bench::MemorySource payloadIn(payload);
    bench::MemorySink sink;
    blockdiff::Failure failure;
    const Clock::time_point start = Clock::now();
    const bool ok = blockdiff::Decode(payloadIn, &counted, sink, {}, failure);
    std::printf("payload %zu bytes, %s\n", payload.size(),
                ok ? "decoded" : failure.Message().c_str());
    PrintReads("covers", Seconds(start), counted, sink.bytes.size());
    return ok ? 0 : 2;
}

// 200,000 descriptors at the start of one 64 MiB data section; each names its lookup and
// address table 48 MiB further on.
Bytes AlternatingImports() {
    constexpr uint32_t kRva = 0x1000;
    constexpr uint32_t kSize = 64u << 20;
    constexpr uint32_t kThunks = 48u << 20;
    constexpr uint32_t kDescriptors = 200000;
    Bytes data(kSize, 0);
    for (uint32_t i = 0; i < kDescriptors; ++i) {
        const uint32_t at = 20 * i;
        const uint32_t thunks = kThunks + (8 * i) % (kSize - kThunks - 8);
        x86image::test::Put32(data, at + 0, kRva + thunks);
        x86image::test::Put32(data, at + 12, kRva + 16);
        x86image::test::Put32(data, at + 16, kRva + thunks);
        x86image::test::Put32(data, thunks, kRva + 32);
    }
    x86image::test::PeSpec spec;
    spec.sections.push_back({kRva, 0, 0x40000040, data});
    spec.directories[1] = {kRva, kDescriptors * 20};
    // Relocations where the first descriptor lies: a block of an impossible size ends their
    // walk at once, and the data is not scanned as it would be without them.
    spec.directories[5] = {kRva + 8, 8};
    return x86image::test::WritePe(spec).bytes;
}

int Parse(plumbing::Source& image, uint64_t failFrom, const char* what) {
    CountingSource counted(image, failFrom);
    x86image::ImageReferences found;
    std::string why;
    size_t pauses = 0;
    const Clock::time_point start = Clock::now();
    const auto result = x86image::ParseImage(counted, found, why, [&pauses] {
        ++pauses;
        return true;
    });
    const double seconds = Seconds(start);
    std::printf("result %d (%s), %zu fields, %zu pauses\n", static_cast<int>(result), why.c_str(),
                found.absolute.size() + found.relativeToBase.size(), pauses);
    PrintReads(what, seconds, counted, image.Size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "covers" && argc == 3) {
        return Covers(argv[2]);
    }
    if (mode == "imports" && argc == 2) {
        const Bytes image = AlternatingImports();
        bench::MemorySource source(image);
        return Parse(source, 0, "imports");
    }
    if (mode == "parse" && argc == 4) {
        bench::FileSource image(argv[2]);
        return image.ok() ? Parse(image, std::strtoull(argv[3], nullptr, 10), "parse") : 1;
    }
    std::fputs("usage: bench_storms covers OLD | imports | parse IMAGE N\n", stderr);
    return 1;
}
