#pragma once
// Small ELF programs whose code moves between two builds, for the tests of the reference
// predictor and the seeds of the block decoder's fuzz target.
#include "ImageWriter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace x86image::test {

// An ELF i386 shared object whose one executable section holds `functions` functions of
// filler bytes (never an opcode the predictor looks for) and calls to each other. `grown`
// adds bytes inside the middle function, so that everything after it moves and every call
// across the move changes, as a rebuild leaves them; the same seed gives the same functions.
// With `unwindTable`, a call-frame table (.eh_frame, at kUnwindTableAddress) follows: a CIE,
// then one FDE per function whose code address is pc-relative.
Bytes MovedCodeProgram(size_t functions, size_t grown, uint32_t seed, bool unwindTable = false);

constexpr uint64_t kUnwindTableAddress = 0x200000;
// Where the table's first FDE starts, and each FDE's size: its code address is 8 bytes in.
constexpr uint64_t kFirstFde = 24;
constexpr uint64_t kFdeBytes = 20;

// A call-frame table at `address` for functions at `starts` with `lengths`, as GCC writes
// one for i386 ("zR", pc-relative signed 4-byte code addresses).
Bytes UnwindTable(uint64_t address, const std::vector<uint64_t>& starts,
                  const std::vector<uint64_t>& lengths);

} // namespace x86image::test
