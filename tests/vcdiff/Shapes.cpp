#include "Shapes.h"

#include <algorithm>
#include <map>

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

// One pass over the bytes: edits at sorted positions, each replacing, inserting or
// deleting up to 16 bytes.
Bytes ScatterEdits(const Bytes& bytes, size_t count, uint64_t seed) {
    Random random(seed);
    std::vector<size_t> positions;
    for (size_t i = 0; i < count && !bytes.empty(); ++i) {
        positions.push_back(random.Below(bytes.size()));
    }
    std::sort(positions.begin(), positions.end());
    Bytes out;
    out.reserve(bytes.size() + count * 16);
    size_t from = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        const size_t at = std::max(positions[i], from);
        out.insert(out.end(), bytes.begin() + from, bytes.begin() + at);
        const size_t length = 1 + random.Below(16);
        const Bytes fresh = random.Fill(length);
        const size_t skipped = std::min(length, bytes.size() - at);
        if (i % 3 != 2) {
            out.insert(out.end(), fresh.begin(), fresh.end()); // replaced or inserted
        }
        from = i % 3 == 1 ? at : at + skipped; // inserted bytes skip nothing
    }
    out.insert(out.end(), bytes.begin() + from, bytes.end());
    return out;
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

struct ShapeMaker {
    const char* name;
    Shape (*make)();
};

const Bytes& Base() {
    static const Bytes base = StructuredBytes(200000, 1);
    return base;
}

const ShapeMaker kMakers[] = {
    {"Empty",
     [] {
         return Shape{"", {}, {}};
     }},
    {"EmptyTarget",
     [] {
         return Shape{"", Random(2).Fill(1000), {}};
     }},
    {"EmptySource",
     [] {
         return Shape{"", {}, StructuredBytes(5000, 3)};
     }},
    {"Tiny",
     [] {
         return Shape{"", ToBytes("a"), ToBytes("ab")};
     }},
    {"Identical",
     [] {
         return Shape{"", Base(), Base()};
     }},
    {"AllNew",
     [] {
         return Shape{"", Random(4).Fill(60000), Random(5).Fill(70000)};
     }},
    {"ShiftedByOne",
     [] {
         return Shape{"", Base(), Spliced(Base(), 0, 0, {0x42})};
     }},
    {"InsertedBlock",
     [] {
         return Shape{"", Base(), Spliced(Base(), 90000, 0, Random(6).Fill(3000))};
     }},
    {"DeletedBlock",
     [] {
         return Shape{"", Base(), Spliced(Base(), 50000, 20000, {})};
     }},
    {"MovedBlock",
     [] {
         const Bytes moved(Base().begin() + 10000, Base().begin() + 40000);
         return Shape{"", Base(), Spliced(Spliced(Base(), 10000, 30000, {}), 150000, 0, moved)};
     }},
    {"RepeatedRuns",
     [] {
         return Shape{"", Runs(), ScatterEdits(Runs(), 20, 7)};
     }},
    {"ScatteredEdits",
     [] {
         return Shape{"", Base(), ScatterEdits(Base(), 300, 8)};
     }},
};

} // namespace

std::vector<std::string> SmallShapeNames() {
    std::vector<std::string> names;
    for (const ShapeMaker& maker : kMakers) {
        names.push_back(maker.name);
    }
    return names;
}

const Shape& SmallShape(const std::string& name) {
    static std::map<std::string, Shape> built;
    auto found = built.find(name);
    if (found == built.end()) {
        const auto maker = std::find_if(std::begin(kMakers), std::end(kMakers),
                                        [&](const ShapeMaker& m) { return name == m.name; });
        Shape shape = maker->make();
        shape.name = name;
        found = built.emplace(name, std::move(shape)).first;
    }
    return found->second;
}

const Shape& LargeShape() {
    static const Shape shape = [] {
        Bytes before = StructuredBytes(2u << 20, 9);
        Bytes after = ScatterEdits(before, 400, 10);
        return Shape{"Large", std::move(before), std::move(after)};
    }();
    return shape;
}

} // namespace vcdiff::test
