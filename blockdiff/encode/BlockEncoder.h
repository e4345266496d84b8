#pragma once
#include "BlockError.h"
#include "BlockFormat.h"
#include "CostModel.h"
#include "Sink.h"
#include "Source.h"
#include "StreamChoice.h"

#include <cstdint>
#include <functional>

namespace blockdiff {

struct EncoderOptions {
    // Threads for matching and compressing; at most what the machine has.
    unsigned threads = 2;
    // An old file up to this size is indexed whole; a larger one part by part for each
    // slice of the new file (0: the default).
    uint64_t wholeOldLimit = 0;
    // The coders a stream may be stored with (Store always).
    CoderSet coders = kAllCoders;
    CostModel model;
    // Take the differences of x86 programs against their predicted references where that
    // pays (ReferencePredictor.h), for old files indexed whole.
    bool predictReferences = true;
    // The predictor version it writes: the latest, unless a test needs an earlier one.
    uint8_t predictorVersion = format::kPredictorVersion;
};

// A 32-bit builder has 2 GiB of address space, where 5n bytes in one piece are hard to find.
constexpr bool kWideAddresses = sizeof(void*) >= 8;
// Above this the anchors take over from one suffix sort of the whole old file: on a 240 MiB
// archive they built in half the time for a patch 3 % larger, while on a 66 MiB program
// they doubled the patch (docs/benchmarks.md).
constexpr uint64_t kDefaultWholeOldLimit = kWideAddresses ? 128u << 20 : 96u << 20;

// What the encoder wrote, for measuring.
struct EncodeReport {
    struct Stream {
        uint64_t rawBytes = 0;
        uint64_t storedBytes = 0;
        uint64_t blocksByCoder[coders::kCoderCount] = {};
    };
    uint64_t payloadBytes = 0;
    uint64_t blocks = 0;
    uint64_t covers = 0;
    uint64_t coveredBytes = 0;
    uint64_t denseBlocks = 0;
    bool indexedInParts = false;
    // Slices of an old file indexed in parts that the anchors left too much of, matched
    // again through sorted suffixes.
    uint64_t sortedSlices = 0;
    // The payload has a prediction header; so many of its blocks use it.
    bool predicted = false;
    uint64_t predictedBlocks = 0;
    Stream streams[format::kStreamCount];
};

// Called now and then with the work done of the total (both in the same unit); returning
// false stops the encoder with Error::Stopped.
using EncodeProgress = std::function<bool(uint64_t done, uint64_t total)>;

// Writes a block delta payload (docs/patch-format.md) that rebuilds `newFile` from `old`
// (may be null: no old file) to `payload`.
//
// Matching: the old file's suffixes are sorted (libdivsufsort) and every slice of the new
// file is matched approximately against them; the choice of covers and of each stream's coder
// follows the cost model (CostModel.h, StreamChoice.h). Blocks are built and compressed on
// `threads` threads, the new file matched in as many parts.
//
// Memory, with n the old file's size: an old file up to wholeOldLimit (128 MiB; 96 MiB in a
// 32-bit build) is held whole with its suffix array, 5n, while the new file is matched 64 MiB at a
// time; the suffix array is then freed and the blocks are built, each thread holding one block's
// streams and its compressors (about 150 MiB). A larger old file is sampled (at most 64 MiB) and
// indexed for each 64 MiB of the new file over only the parts of it that slice resembles (at most
// 192 MiB; 64 MiB in a 32-bit build), matched through the anchors of those parts
// (AnchorTable.h, 4 bytes per 16 of text); only a slice the anchors leave more than 1/64 of
// uncovered has the suffixes of its parts sorted too: about 1.1 GiB whatever the sizes.
//
// Returns false with `failure` set: Error::SourceReadFailed (`old` or `newFile` unreadable),
// Error::SinkRefused, Error::Stopped, Error::OutOfMemory.
bool Encode(plumbing::Source* old, plumbing::Source& newFile, plumbing::Sink& payload,
            const EncoderOptions& options, const EncodeProgress& progress, EncodeReport* report,
            Failure& failure);

} // namespace blockdiff
