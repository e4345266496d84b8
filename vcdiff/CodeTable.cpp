#include "CodeTable.h"

#include "AddressCache.h"

namespace vcdiff {

namespace {

constexpr HalfInstruction kNoop{InstructionType::Noop, 0, 0};

HalfInstruction Add(uint8_t size) {
    return {InstructionType::Add, size, 0};
}
HalfInstruction Copy(uint8_t size, uint8_t mode) {
    return {InstructionType::Copy, size, mode};
}

CodeTable BuildDefaultTable() {
    CodeTable table{};
    size_t i = 0;
    table[i++] = {{InstructionType::Run, 0, 0}, kNoop};
    for (uint8_t size = 0; size <= 17; ++size) {
        table[i++] = {Add(size), kNoop};
    }
    for (uint8_t mode = 0; mode < AddressCache::kModes; ++mode) {
        table[i++] = {Copy(0, mode), kNoop};
        for (uint8_t size = 4; size <= 18; ++size) {
            table[i++] = {Copy(size, mode), kNoop};
        }
    }
    for (uint8_t mode = 0; mode < 6; ++mode) {
        for (uint8_t addSize = 1; addSize <= 4; ++addSize) {
            for (uint8_t copySize = 4; copySize <= 6; ++copySize) {
                table[i++] = {Add(addSize), Copy(copySize, mode)};
            }
        }
    }
    for (uint8_t mode = 6; mode < AddressCache::kModes; ++mode) {
        for (uint8_t addSize = 1; addSize <= 4; ++addSize) {
            table[i++] = {Add(addSize), Copy(4, mode)};
        }
    }
    for (uint8_t mode = 0; mode < AddressCache::kModes; ++mode) {
        table[i++] = {Copy(4, mode), Add(1)};
    }
    return table;
}

} // namespace

const CodeTable& DefaultCodeTable() {
    static const CodeTable table = BuildDefaultTable();
    return table;
}

} // namespace vcdiff
