// Writes the image reader target's seeds into the folder given: the sample images of the
// unit tests (tests/x86image/SampleImages.h) and a program with a call-frame table, one file
// each.
#include "SampleImages.h"
#include "SamplePrograms.h"

#include <cstdio>
#include <string>

namespace {

bool WriteSeed(const std::string& path, const x86image::test::Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: not written\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const x86image::test::Sample& sample : x86image::test::AllSamples()) {
        if (!WriteSeed(folder + "/seed-" + sample.name + ".bin", sample.bytes)) {
            return 1;
        }
    }
    return WriteSeed(folder + "/seed-unwind-table.bin",
                     x86image::test::MovedCodeProgram(12, 0, 9, true))
               ? 0
               : 1;
}
