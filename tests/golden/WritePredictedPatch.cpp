// Writes a patch file of one patch entry whose payload is a predicted block delta of a chosen
// predictor version, for golden sets that mkpatch cannot write: mkpatch always writes the
// newest predictor version. Run by write-golden.sh only, when a set is first written.
// Usage: golden_write_predicted OLD NEW NAME PREDICTOR_VERSION OUT
#include "BlockEncoder.h"
#include "Crc32.h"
#include "DirectoryWriter.h"
#include "TestIo.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using vcdiff::test::Bytes;

bool ReadWhole(const std::string& path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWhole(const std::string& path, const Bytes& head, const Bytes& tail) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(head.data()),
              static_cast<std::streamsize>(head.size()));
    out.write(reinterpret_cast<const char*>(tail.data()),
              static_cast<std::streamsize>(tail.size()));
    out.close();
    return !out.fail();
}

// A predictor version the block format knows, from its decimal text.
bool ParseVersion(const std::string& text, uint8_t& version) {
    if (text.size() != 1 || text[0] < '0' + blockdiff::format::kFirstPredictorVersion ||
        text[0] > '0' + blockdiff::format::kPredictorVersion)
        return false;
    version = static_cast<uint8_t>(text[0] - '0');
    return true;
}

// The payload, or false when the encoder failed or predicted nothing: a golden set that
// claims a predictor version must hold a predicted payload.
bool EncodePredicted(const Bytes& oldFile, const Bytes& newFile, uint8_t version, Bytes& payload) {
    vcdiff::test::MemorySource old(oldFile);
    vcdiff::test::MemorySource next(newFile);
    vcdiff::test::MemorySink sink;
    blockdiff::EncoderOptions options;
    options.predictorVersion = version;
    blockdiff::EncodeReport report;
    blockdiff::Failure failure;
    if (!blockdiff::Encode(&old, next, sink, options, {}, &report, failure)) {
        std::fprintf(stderr, "encoding failed: %s\n", failure.Message().c_str());
        return false;
    }
    if (!report.predicted) {
        std::fprintf(stderr, "the payload predicts nothing: the files are no moved program\n");
        return false;
    }
    payload = std::move(sink.bytes);
    return true;
}

patchfile::PatchDirectory DirectoryOf(const std::string& name, const Bytes& oldFile,
                                      const Bytes& newFile, const Bytes& payload) {
    patchfile::PatchEntry entry;
    entry.kind = patchfile::EntryKind::Patch;
    entry.method = patchfile::PayloadMethod::Blocks;
    entry.name = name;
    entry.sourceSize = oldFile.size();
    entry.sourceCrc = patchfile::ComputeCrc32(oldFile.data(), oldFile.size());
    entry.resultSize = newFile.size();
    entry.resultCrc = patchfile::ComputeCrc32(newFile.data(), newFile.size());
    entry.payloadSize = payload.size();
    entry.payloadCrc = patchfile::ComputeCrc32(payload.data(), payload.size());
    patchfile::PatchDirectory directory;
    directory.entries.push_back(entry);
    directory.version = patchfile::FormatVersionFor(directory);
    return directory;
}

} // namespace

int main(int argc, char** argv) {
    uint8_t version = 0;
    if (argc != 6 || !ParseVersion(argv[4], version)) {
        std::fprintf(stderr, "usage: %s OLD NEW NAME PREDICTOR_VERSION OUT\n", argv[0]);
        return 2;
    }
    Bytes oldFile, newFile, payload;
    if (!ReadWhole(argv[1], oldFile) || !ReadWhole(argv[2], newFile)) {
        std::fprintf(stderr, "%s or %s cannot be read\n", argv[1], argv[2]);
        return 1;
    }
    if (!EncodePredicted(oldFile, newFile, version, payload))
        return 1;
    const Bytes head = patchfile::EncodeDirectory(DirectoryOf(argv[3], oldFile, newFile, payload));
    if (!WriteWhole(argv[5], head, payload)) {
        std::fprintf(stderr, "%s cannot be written\n", argv[5]);
        return 1;
    }
    return 0;
}
