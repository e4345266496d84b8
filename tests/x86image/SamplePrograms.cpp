#include "SamplePrograms.h"

#include <vector>

namespace x86image::test {
namespace {

constexpr uint64_t kTextAddress = 0x1000;
constexpr uint64_t kFlagsAllocExec = 0x6; // SHF_ALLOC | SHF_EXECINSTR
constexpr uint64_t kFlagsAlloc = 0x2;

} // namespace

Bytes UnwindTable(uint64_t address, const std::vector<uint64_t>& starts,
                  const std::vector<uint64_t>& lengths) {
    // Length, CIE id 0, version 1, "zR", code and data alignment, return register, augmentation
    // length 1, encoding pcrel|sdata4, then DW_CFA_def_cfa esp+4 and padding.
    Bytes table = {20, 0,    0, 0, 0,    0,    0, 0, 1, 'z', 'R', 0,
                   1,  0x7C, 8, 1, 0x1B, 0x0C, 4, 4, 0, 0,   0,   0};
    for (size_t f = 0; f < starts.size(); ++f) {
        const uint64_t at = table.size();
        table.resize(at + kFdeBytes);
        Put32(table, at, kFdeBytes - 4);
        Put32(table, at + 4, static_cast<uint32_t>(at + 4)); // back to the CIE at 0
        Put32(table, at + 8, static_cast<uint32_t>(starts[f] - (address + at + 8)));
        Put32(table, at + 12, static_cast<uint32_t>(lengths[f]));
    }
    table.resize(table.size() + 4); // the terminator
    return table;
}

Bytes MovedCodeProgram(size_t functions, size_t grown, uint32_t seed, bool unwindTable) {
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
    if (unwindTable) {
        std::vector<uint64_t> addresses(functions);
        std::vector<uint64_t> lengths(functions);
        for (size_t f = 0; f < functions; ++f) {
            addresses[f] = kTextAddress + starts[f];
            lengths[f] = (f + 1 < functions ? starts[f + 1] : code.size()) - starts[f];
        }
        ElfSectionSpec frames;
        frames.flags = kFlagsAlloc;
        frames.address = kUnwindTableAddress;
        frames.data = UnwindTable(kUnwindTableAddress, addresses, lengths);
        spec.sections.push_back(frames);
    }
    return WriteElf(spec).bytes;
}

} // namespace x86image::test
