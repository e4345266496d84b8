#include "SamplePrograms.h"

#include <vector>

namespace x86image::test {
namespace {

constexpr uint64_t kTextAddress = 0x1000;
constexpr uint64_t kFlagsAllocExec = 0x6; // SHF_ALLOC | SHF_EXECINSTR

} // namespace

Bytes MovedCodeProgram(size_t functions, size_t grown, uint32_t seed) {
    constexpr int kCall = -1;
    std::vector<std::vector<int>> bodies(functions); // filler bytes, or kCall then a function
    std::vector<uint64_t> starts(functions);
    for (size_t f = 0; f < functions; ++f) {
        uint64_t state = seed * 100003 + f;
        auto next = [&state] {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            return state >> 33;
        };
        const size_t items = 100 + next() % 100;
        for (size_t i = 0; i < items; ++i) {
            if (f == functions / 2 && i == items / 2)
                bodies[f].insert(bodies[f].end(), grown, 0x20);
            if (next() % 8 == 0) {
                bodies[f].push_back(kCall);
                bodies[f].push_back(static_cast<int>(next() % functions));
            } else {
                bodies[f].push_back(static_cast<int>(0x10 + next() % 0x60));
            }
        }
    }
    uint64_t at = 0;
    for (size_t f = 0; f < functions; ++f) {
        starts[f] = at;
        for (size_t i = 0; i < bodies[f].size(); ++i)
            at += bodies[f][i] == kCall ? (++i, 5) : 1;
    }
    Bytes code;
    for (size_t f = 0; f < functions; ++f) {
        for (size_t i = 0; i < bodies[f].size(); ++i) {
            if (bodies[f][i] != kCall) {
                code.push_back(static_cast<uint8_t>(bodies[f][i]));
                continue;
            }
            const uint64_t next = code.size() + 5;
            const uint32_t displacement = static_cast<uint32_t>(starts[bodies[f][++i]] - next);
            code.push_back(0xE8);
            for (int k = 0; k < 4; ++k)
                code.push_back(static_cast<uint8_t>(displacement >> (8 * k)));
        }
    }
    ElfSpec spec;
    ElfSectionSpec text;
    text.flags = kFlagsAllocExec;
    text.address = kTextAddress;
    text.data = code;
    spec.sections.push_back(text);
    return WriteElf(spec).bytes;
}

} // namespace x86image::test
