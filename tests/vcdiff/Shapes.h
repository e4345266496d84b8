#pragma once
#include "TestIo.h"

#include <string>
#include <vector>

namespace vcdiff::test {

// A pair of files of a typical or awkward shape for delta encoding.
struct Shape {
    std::string name;
    Bytes before;
    Bytes after;
};

// Bytes that look like program code and data: repeated tokens, counters and noise.
Bytes StructuredBytes(size_t length, uint64_t seed);
// `bytes` with `count` small edits (replaced, inserted and deleted runs) spread over it.
Bytes ScatterEdits(Bytes bytes, size_t count, uint64_t seed);

// Small and medium shapes, quick enough for every configuration and for Wine.
std::vector<Shape> SmallShapes();

} // namespace vcdiff::test
