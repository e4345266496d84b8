// Writes predicted seeds of the block decoder's fuzz target into the folder given: payloads
// from the old program of PredictedFuzzOld.h to the same program with moved code, after the
// target's first byte (0: no stop).
#include "BlockEncoder.h"
#include "PredictedFuzzOld.h"
#include "TestIo.h"

#include <cstdio>
#include <string>

namespace {

bool WriteSeed(const std::string& path, const std::vector<uint8_t>& payload) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const uint8_t noStop = 0;
    const bool written = file != nullptr && std::fwrite(&noStop, 1, 1, file) == 1 &&
                         std::fwrite(payload.data(), 1, payload.size(), file) == payload.size();
    return file != nullptr && std::fclose(file) == 0 && written;
}

// One payload of predictor `version`, written to `path`.
bool WritePredicted(const std::string& path, uint8_t version) {
    const std::vector<uint8_t> moved =
        x86image::test::MovedCodeProgram(kPredictedFuzzFunctions, 11, kPredictedFuzzSeed);
    vcdiff::test::MemorySource old(PredictedFuzzOld());
    vcdiff::test::MemorySource next(moved);
    vcdiff::test::MemorySink payload;
    blockdiff::EncoderOptions options;
    options.predictorVersion = version;
    blockdiff::EncodeReport report;
    blockdiff::Failure failure;
    if (!blockdiff::Encode(&old, next, payload, options, {}, &report, failure) ||
        !report.predicted || !WriteSeed(path, payload.bytes)) {
        std::fprintf(stderr, "%s: not written (%s)\n", path.c_str(),
                     report.predicted ? failure.Message().c_str() : "no prediction");
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
    return WritePredicted(folder + "/predicted-moved-code", blockdiff::format::kPredictorVersion) &&
                   WritePredicted(folder + "/predicted-moved-code-v1",
                                  blockdiff::format::kFirstPredictorVersion)
               ? 0
               : 1;
}
