// Writes the image reader target's seeds into the folder given: the sample images of the
// unit tests (tests/x86image/SampleImages.h) and a program with a call-frame table, one file
// each.
#include "SampleImages.h"
#include "SamplePrograms.h"
#include "SeedFiles.h"

#include <string>

int main(int argc, char** argv) {
    if (!HasSeedFolders(argc, argv, "FOLDER"))
        return 2;
    const std::string folder = argv[1];
    for (const x86image::test::Sample& sample : x86image::test::AllSamples()) {
        if (!WriteSeedFile(folder + "/seed-" + sample.name + ".bin", sample.bytes)) {
            return 1;
        }
    }
    return WriteSeedFile(folder + "/seed-unwind-table.bin",
                         x86image::test::MovedCodeProgram(12, 0, 9, true))
               ? 0
               : 1;
}
