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
Bytes ScatterEdits(const Bytes& bytes, size_t count, uint64_t seed);

// The names of the small and medium shapes, quick enough for every configuration and for
// Wine. Cheap: test parameters are these names, so that a test process builds only the
// shape it runs.
std::vector<std::string> SmallShapeNames();
// The shape of that name, built on first use.
const Shape& SmallShape(const std::string& name);
// 2 MiB edited in many places.
const Shape& LargeShape();

} // namespace vcdiff::test
