#pragma once
#include "StreamTables.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace recode {

struct PlanLimits {
    // zlib settings tried per new stream at most: the facts of the parse rule out most, and
    // a stream zlib does not give again costs this many deflates of its content.
    unsigned zlibCandidates = 32;
};

// What the builder found and chose for one entry: the tables and each listed new stream's
// content and parse, with the expanded files the delta is taken between.
struct StreamPlan {
    StreamTables tables;
    std::vector<std::vector<uint8_t>> parses; // per new stream; empty unless Rebuild::Parse
    std::vector<uint8_t> expandedOld;
    std::vector<uint8_t> expandedNew;
    // What the plan holds, for measuring.
    size_t copied = 0, zlib = 0, parsed = 0, leftPlain = 0;
};

// Finds the deflate streams of both files (deflatestream::FindStreams); each old stream is
// listed to be inflated, each new one that can be rebuilt exactly is listed with the
// cheapest way: a copy of an identical old stream, zlib settings, else its parse (each
// checked by rebuilding it as the decoder does); a new stream that cannot be rebuilt stays
// plain bytes. False when neither file holds a stream: the method has nothing to offer.
bool PlanStreams(const std::vector<uint8_t>& oldFile, const std::vector<uint8_t>& newFile,
                 const PlanLimits& limits, StreamPlan& plan);

} // namespace recode
