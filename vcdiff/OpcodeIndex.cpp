#include "OpcodeIndex.h"

namespace vcdiff {

namespace {

template <typename Table> void FillNone(Table& table) {
    for (auto& byMode : table) {
        for (auto& row : byMode) {
            row.fill(OpcodeIndex::kNone);
        }
    }
}

bool Is(const HalfInstruction& half, InstructionType type) {
    return half.type == type;
}

} // namespace

const OpcodeIndex& OpcodeIndex::Default() {
    static const OpcodeIndex index(DefaultCodeTable());
    return index;
}

OpcodeIndex::OpcodeIndex(const CodeTable& table) {
    FillNone(single_);
    FillNone(addCopy_);
    FillNone(copyAdd_);
    for (size_t opcode = 0; opcode < table.size(); ++opcode) {
        Enter(table[opcode], static_cast<int>(opcode));
    }
}

// The first opcode found for a combination wins, as in the table's own order.
void OpcodeIndex::Enter(const CodeTableEntry& entry, int opcode) {
    const HalfInstruction& a = entry.first;
    const HalfInstruction& b = entry.second;
    int16_t* slot = nullptr;
    if (Is(b, InstructionType::Noop) && a.size <= kMaxImpliedSize) {
        slot = &single_[static_cast<size_t>(a.type)][a.mode][a.size];
    } else if (Is(a, InstructionType::Add) && Is(b, InstructionType::Copy) &&
               a.size <= kMaxPairedAdd && b.size <= kMaxImpliedSize) {
        slot = &addCopy_[a.size][b.mode][b.size];
    } else if (Is(a, InstructionType::Copy) && Is(b, InstructionType::Add) &&
               b.size <= kMaxPairedAdd && a.size <= kMaxImpliedSize) {
        slot = &copyAdd_[b.size][a.mode][a.size];
    }
    if (slot && *slot == kNone) {
        *slot = static_cast<int16_t>(opcode);
    }
}

int OpcodeIndex::Single(InstructionType type, size_t size, uint8_t mode) const {
    if (size == 0 || size > kMaxImpliedSize) {
        return kNone;
    }
    return single_[static_cast<size_t>(type)][mode][size];
}

int OpcodeIndex::SingleWithExplicitSize(InstructionType type, uint8_t mode) const {
    return single_[static_cast<size_t>(type)][mode][0];
}

int OpcodeIndex::AddThenCopy(size_t addSize, size_t copySize, uint8_t mode) const {
    if (addSize == 0 || addSize > kMaxPairedAdd || copySize == 0 || copySize > kMaxImpliedSize) {
        return kNone;
    }
    return addCopy_[addSize][mode][copySize];
}

int OpcodeIndex::CopyThenAdd(size_t copySize, uint8_t mode, size_t addSize) const {
    if (addSize == 0 || addSize > kMaxPairedAdd || copySize == 0 || copySize > kMaxImpliedSize) {
        return kNone;
    }
    return copyAdd_[addSize][mode][copySize];
}

} // namespace vcdiff
