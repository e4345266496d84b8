#pragma once
#include <array>
#include <cstdint>

namespace vcdiff {

enum class InstructionType : uint8_t { Noop = 0, Add = 1, Run = 2, Copy = 3 };

// One half of a code table entry. Size 0 means the size follows as an integer in the
// instructions section.
struct HalfInstruction {
    InstructionType type;
    uint8_t size;
    uint8_t mode;
};

struct CodeTableEntry {
    HalfInstruction first;
    HalfInstruction second;
};

using CodeTable = std::array<CodeTableEntry, 256>;

// The default code table of RFC 3284, section 5.6.
const CodeTable& DefaultCodeTable();

} // namespace vcdiff
