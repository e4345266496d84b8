#include "Samples.h"

#include "StreamEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace coders::test {

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 engine(seed);
    Bytes out(size);
    for (uint8_t& byte : out) {
        byte = static_cast<uint8_t>(engine());
    }
    return out;
}

Bytes TextLike(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"the",    "quill", "mere",    "of", "and",
                                         "patch",  "file",  "version", "to", "a",
                                         "window", "level", "=",       "\n"};
    std::mt19937 engine(seed);
    Bytes out;
    out.reserve(size + 16);
    while (out.size() < size) {
        const uint32_t pick = engine() % 20;
        if (pick < std::size(kWords)) {
            const std::string word = kWords[pick];
            out.insert(out.end(), word.begin(), word.end());
        } else {
            const std::string number = std::to_string(engine() % 100000);
            out.insert(out.end(), number.begin(), number.end());
        }
        out.push_back(' ');
    }
    out.resize(size);
    return out;
}

namespace {

struct SampleMaker {
    const char* name;
    Bytes (*make)();
};

const SampleMaker kMakers[] = {
    {"Empty", [] { return Bytes{}; }},
    {"OneByte", [] { return Bytes{0x5A}; }},
    {"Zeros", [] { return Bytes(1u << 20, 0); }},
    {"Random", [] { return RandomBytes(100000, 1); }},
    {"TextLike", [] { return TextLike(300000, 2); }},
    {"TwoPiecesAndOne", [] { return TextLike(2 * kTickOutputBytes + 1, 3); }},
};

} // namespace

std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const SampleMaker& maker : kMakers) {
        names.push_back(maker.name);
    }
    names.push_back("Large");
    return names;
}

const Bytes& Sample(const std::string& name) {
    if (name == "Large") {
        return LargeSample();
    }
    static std::map<std::string, Bytes> built;
    auto found = built.find(name);
    if (found == built.end()) {
        const auto maker = std::find_if(std::begin(kMakers), std::end(kMakers),
                                        [&](const SampleMaker& m) { return name == m.name; });
        found = built.emplace(name, maker->make()).first;
    }
    return found->second;
}

const Bytes& LargeSample() {
    static const Bytes large = TextLike(8u << 20, 4);
    return large;
}

Bytes Encoded(Coder coder, const Bytes& data) {
    Bytes out;
    EXPECT_TRUE(Encode(coder, data.data(), data.size(), out)) << CoderName(coder);
    return out;
}

const Bytes& EncodedSample(Coder coder, const std::string& name) {
    static std::map<std::pair<Coder, std::string>, Bytes> encoded;
    const auto key = std::make_pair(coder, name);
    auto found = encoded.find(key);
    if (found == encoded.end()) {
        found = encoded.emplace(key, Encoded(coder, Sample(name))).first;
    }
    return found->second;
}

DecodeResult DecodeInto(Coder coder, const Bytes& stream, size_t expectedSize, Bytes& output,
                        const plumbing::Tick& tick) {
    output.assign(expectedSize, 0);
    return Decode(coder, stream.data(), stream.size(), output.data(), output.size(), tick);
}

} // namespace coders::test
