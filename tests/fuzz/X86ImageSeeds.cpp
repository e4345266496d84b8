// Writes the image reader target's seeds into the folder given: the sample images of the
// unit tests (tests/x86image/SampleImages.h), one file each.
#include "SampleImages.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const x86image::test::Sample& sample : x86image::test::AllSamples()) {
        const std::string path = std::string(argv[1]) + "/seed-" + sample.name + ".bin";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const bool written =
            file != nullptr &&
            std::fwrite(sample.bytes.data(), 1, sample.bytes.size(), file) == sample.bytes.size();
        if (file == nullptr || std::fclose(file) != 0 || !written) {
            std::fprintf(stderr, "%s: not written\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
