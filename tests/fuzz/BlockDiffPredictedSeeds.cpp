// Writes predicted seeds of the block decoder's fuzz target into the first folder given:
// payloads from the old program of PredictedFuzzOld.h to its new version with moved code,
// after the target's first byte (0: no stop); and the same payloads with the program in
// front of them (its length, 4 bytes little-endian, then its bytes), for predicted_image_fuzz,
// into the second.
#include "BlockEncoder.h"
#include "PredictedFuzzOld.h"
#include "SeedFiles.h"
#include "TestIo.h"

#include <cstdio>
#include <string>

namespace {

// The target's first byte, then the payload.
bool WriteSeed(const std::string& path, const std::vector<uint8_t>& payload) {
    const uint8_t noStop = 0;
    std::vector<uint8_t> seed{noStop};
    seed.insert(seed.end(), payload.begin(), payload.end());
    return WriteSeedFile(path, seed);
}

std::vector<uint8_t> WithOldImage(const std::vector<uint8_t>& payload) {
    const std::vector<uint8_t>& image = PredictedFuzzOld();
    std::vector<uint8_t> out;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(image.size() >> shift));
    }
    out.insert(out.end(), image.begin(), image.end());
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// One payload of predictor `version`, written as `name` into both folders.
bool WritePredicted(const std::string& name, uint8_t version, const std::string& folder,
                    const std::string& withImageFolder) {
    vcdiff::test::MemorySource old(PredictedFuzzOld());
    vcdiff::test::MemorySource next(PredictedFuzzNew());
    vcdiff::test::MemorySink payload;
    blockdiff::EncoderOptions options;
    options.predictorVersion = version;
    blockdiff::EncodeReport report;
    blockdiff::Failure failure;
    if (!blockdiff::Encode(&old, next, payload, options, {}, &report, failure) ||
        !report.predicted || !WriteSeed(folder + "/" + name, payload.bytes) ||
        !WriteSeed(withImageFolder + "/" + name, WithOldImage(payload.bytes))) {
        std::fprintf(stderr, "%s: not written (%s)\n", name.c_str(),
                     report.predicted ? failure.Message().c_str() : "no prediction");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!HasSeedFolders(argc, argv, "FOLDER WITH_IMAGE_FOLDER"))
        return 2;
    return WritePredicted("predicted-moved-code", blockdiff::format::kPredictorVersion, argv[1],
                          argv[2]) &&
                   WritePredicted("predicted-moved-code-v1",
                                  blockdiff::format::kFirstPredictorVersion, argv[1], argv[2])
               ? 0
               : 1;
}
