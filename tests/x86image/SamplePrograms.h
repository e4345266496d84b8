#pragma once
// Small ELF programs whose code moves between two builds, for the tests of the reference
// predictor and the seeds of the block decoder's fuzz target.
#include "ImageWriter.h"

#include <cstddef>
#include <cstdint>

namespace x86image::test {

// An ELF i386 shared object whose one executable section holds `functions` functions of
// filler bytes (never an opcode the predictor looks for) and calls to each other. `grown`
// adds bytes inside the middle function, so that everything after it moves and every call
// across the move changes, as a rebuild leaves them; the same seed gives the same functions.
Bytes MovedCodeProgram(size_t functions, size_t grown, uint32_t seed);

} // namespace x86image::test
