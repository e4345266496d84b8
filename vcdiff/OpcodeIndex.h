#pragma once
#include "AddressCache.h"
#include "CodeTable.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vcdiff {

// The default code table read backwards: which opcode encodes one instruction, or an ADD
// and a COPY together.
class OpcodeIndex {
public:
    static constexpr int kNone = -1;
    // Sizes up to this can be implied by an opcode; larger ones follow as integers.
    static constexpr size_t kMaxImpliedSize = 18;
    static constexpr size_t kMaxPairedAdd = 4;

    static const OpcodeIndex& Default();

    // The opcode for a lone instruction with the size implied, or kNone.
    int Single(InstructionType type, size_t size, uint8_t mode) const;
    // The opcode for a lone instruction whose size follows as an integer.
    int SingleWithExplicitSize(InstructionType type, uint8_t mode) const;
    int AddThenCopy(size_t addSize, size_t copySize, uint8_t mode) const;
    int CopyThenAdd(size_t copySize, uint8_t mode, size_t addSize) const;

private:
    explicit OpcodeIndex(const CodeTable& table);
    void Enter(const CodeTableEntry& entry, int opcode);

    using SizeRow = std::array<int16_t, kMaxImpliedSize + 1>;
    std::array<std::array<SizeRow, AddressCache::kModes>, 4> single_;
    std::array<std::array<SizeRow, AddressCache::kModes>, kMaxPairedAdd + 1> addCopy_;
    std::array<std::array<SizeRow, AddressCache::kModes>, kMaxPairedAdd + 1> copyAdd_;
};

} // namespace vcdiff
