#include "Shapes.h"

#include <algorithm>

namespace vcdiff::test {

Bytes StructuredBytes(size_t length, uint64_t seed) {
    Random random(seed);
    std::vector<Bytes> tokens;
    for (int i = 0; i < 64; ++i) {
        tokens.push_back(random.Fill(4 + random.Below(13)));
    }
    Bytes out;
    out.reserve(length + 32);
    uint32_t counter = static_cast<uint32_t>(random.Next());
    while (out.size() < length) {
        switch (random.Below(4)) {
        case 0:
        case 1: {
            const Bytes& token = tokens[random.Below(tokens.size())];
            out.insert(out.end(), token.begin(), token.end());
            break;
        }
        case 2:
            counter += 4 + static_cast<uint32_t>(random.Below(64));
            for (int shift = 0; shift < 32; shift += 8) {
                out.push_back(static_cast<uint8_t>(counter >> shift));
            }
            break;
        default: {
            const Bytes noise = random.Fill(1 + random.Below(6));
            out.insert(out.end(), noise.begin(), noise.end());
        }
        }
    }
    out.resize(length);
    return out;
}

Bytes ScatterEdits(Bytes bytes, size_t count, uint64_t seed) {
    Random random(seed);
    for (size_t i = 0; i < count && !bytes.empty(); ++i) {
        const size_t at = random.Below(bytes.size());
        const size_t length = 1 + random.Below(16);
        const Bytes fresh = random.Fill(length);
        switch (i % 3) {
        case 0:
            std::copy_n(fresh.begin(), std::min(length, bytes.size() - at), bytes.begin() + at);
            break;
        case 1:
            bytes.insert(bytes.begin() + at, fresh.begin(), fresh.end());
            break;
        default:
            bytes.erase(bytes.begin() + at, bytes.begin() + std::min(at + length, bytes.size()));
        }
    }
    return bytes;
}

namespace {

Bytes Spliced(const Bytes& bytes, size_t at, size_t removed, const Bytes& inserted) {
    Bytes out(bytes.begin(), bytes.begin() + at);
    out.insert(out.end(), inserted.begin(), inserted.end());
    out.insert(out.end(), bytes.begin() + at + removed, bytes.end());
    return out;
}

Bytes Runs() {
    Bytes out;
    for (int i = 0; i < 40; ++i) {
        out.insert(out.end(), 100 + 37 * i, static_cast<uint8_t>(i % 3 == 0 ? 0 : 0xFF));
        const Bytes pattern = {'a', 'b', 'c', static_cast<uint8_t>(i)};
        for (int r = 0; r < 50; ++r) {
            out.insert(out.end(), pattern.begin(), pattern.end());
        }
    }
    return out;
}

} // namespace

std::vector<Shape> SmallShapes() {
    const Bytes base = StructuredBytes(200000, 1);
    Random random(2);
    std::vector<Shape> shapes;
    shapes.push_back({"Empty", {}, {}});
    shapes.push_back({"EmptyTarget", random.Fill(1000), {}});
    shapes.push_back({"EmptySource", {}, StructuredBytes(5000, 3)});
    shapes.push_back({"Tiny", ToBytes("a"), ToBytes("ab")});
    shapes.push_back({"Identical", base, base});
    shapes.push_back({"AllNew", random.Fill(60000), random.Fill(70000)});
    shapes.push_back({"ShiftedByOne", base, Spliced(base, 0, 0, {0x42})});
    shapes.push_back({"InsertedBlock", base, Spliced(base, 90000, 0, random.Fill(3000))});
    shapes.push_back({"DeletedBlock", base, Spliced(base, 50000, 20000, {})});
    shapes.push_back({"MovedBlock", base,
                      Spliced(Spliced(base, 10000, 30000, {}), 150000, 0,
                              Bytes(base.begin() + 10000, base.begin() + 40000))});
    shapes.push_back({"RepeatedRuns", Runs(), ScatterEdits(Runs(), 20, 4)});
    shapes.push_back({"ScatteredEdits", base, ScatterEdits(base, 300, 5)});
    return shapes;
}

} // namespace vcdiff::test
