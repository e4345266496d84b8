#include "RecodeSamples.h"

#include "MemorySource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <zlib.h>

namespace recode::test {
namespace {

class VectorSink final : public plumbing::Sink {
public:
    explicit VectorSink(Bytes& bytes) : bytes_(bytes) {}
    bool Write(const void* data, size_t length) override {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + length);
        return true;
    }

private:
    Bytes& bytes_;
};

} // namespace

Bytes Encode(const Bytes& oldFile, const Bytes& newFile, StreamPlan* plan) {
    Bytes payload;
    RecodeOptions options;
    options.blocks.threads = 1;
    blockdiff::Failure failure;
    Encoded encoded = EncodeRecoded(oldFile, newFile, payload, options, nullptr, plan, failure);
    EXPECT_EQ(encoded, Encoded::Ok) << failure.Message();
    return payload;
}

Decoded DecodePayload(const Bytes& payload, const Bytes& oldFile, uint64_t newSize,
                      uint64_t stopAfterTicks) {
    Decoded decoded;
    plumbing::MemorySource payloadSource(payload.data(), payload.size());
    plumbing::MemorySource oldSource(oldFile.data(), oldFile.size());
    MemoryScratch expandedOld, expandedNew;
    VectorSink sink(decoded.result);
    plumbing::Tick tick = [&decoded, stopAfterTicks] { return ++decoded.ticks <= stopAfterTicks; };
    decoded.ok = Decode(payloadSource, oldSource, newSize, expandedOld, expandedNew, sink, tick,
                        decoded.failure, decoded.delta);
    return decoded;
}

Bytes RunTool(const std::string& command, const Bytes& input) {
    namespace fs = std::filesystem;
    static int serial = 0;
    fs::path folder = fs::temp_directory_path() /
                      ("recode-tool-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    fs::create_directories(folder);
    std::ofstream(folder / "in", std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()),
               static_cast<std::streamsize>(input.size()));
    std::string line = "cd '" + folder.string() + "' && (" + command + ") >/dev/null 2>&1";
    Bytes out;
    if (std::system(line.c_str()) == 0) {
        std::ifstream file(folder / "out", std::ios::binary);
        out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    fs::remove_all(folder);
    return out;
}

Bytes ZlibWrap(const Bytes& raw, const Bytes& content, int windowBits, int level) {
    unsigned cmf = static_cast<unsigned>(windowBits - 8) << 4 | 8;
    unsigned levelClass = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned flg = levelClass << 6;
    flg += 31 - (cmf * 256 + flg) % 31;
    Bytes wrapped = {static_cast<uint8_t>(cmf), static_cast<uint8_t>(flg)};
    wrapped.insert(wrapped.end(), raw.begin(), raw.end());
    uLong adler =
        adler32(adler32(0, nullptr, 0), content.data(), static_cast<uInt>(content.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        wrapped.push_back(static_cast<uint8_t>(adler >> shift));
    return wrapped;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace recode::test
