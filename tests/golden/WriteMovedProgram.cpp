// Writes the small ELF i386 program of the predicted golden sets: code that moves by GROWN
// bytes between two builds, with a call-frame table, so that predictor version 1 (calls
// only) and version 2 (calls and the table's code addresses) give different results and a
// decoder that mistakes one for the other fails the result's CRC-32.
// Usage: golden_write_moved_program GROWN OUT
#include "SamplePrograms.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

constexpr size_t kFunctions = 120;
constexpr uint32_t kSeed = 11;

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GROWN OUT\n", argv[0]);
        return 2;
    }
    const size_t grown = std::strtoul(argv[1], nullptr, 10);
    const x86image::test::Bytes program =
        x86image::test::MovedCodeProgram(kFunctions, grown, kSeed, true);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(program.data()),
              static_cast<std::streamsize>(program.size()));
    out.close();
    if (out.fail()) {
        std::fprintf(stderr, "%s cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
