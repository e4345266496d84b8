#include "InstructionEncoder.h"

#include "AddressChoice.h"
#include "OpcodeIndex.h"
#include "Varint.h"

namespace vcdiff {

void InstructionEncoder::Reset() {
    cache_.Reset();
    waiting_ = {};
    data_.clear();
    instructions_.clear();
    addresses_.clear();
}

void InstructionEncoder::Add(const uint8_t* bytes, size_t length) {
    if (length == 0) {
        return;
    }
    data_.insert(data_.end(), bytes, bytes + length);
    Queue({InstructionType::Add, length, 0});
}

void InstructionEncoder::Copy(uint64_t address, size_t length, uint64_t here) {
    const AddressChoice choice = ChooseAddress(cache_, address, here);
    if (choice.mode >= AddressCache::kFirstSameMode) {
        addresses_.push_back(static_cast<uint8_t>(choice.value));
    } else {
        plumbing::AppendVarint(addresses_, choice.value);
    }
    cache_.Update(address);
    Queue({InstructionType::Copy, length, choice.mode});
}

void InstructionEncoder::Finish() {
    if (waiting_.type != InstructionType::Noop) {
        WriteSingle(waiting_);
        waiting_ = {};
    }
}

// The data and address bytes are already in place (their order is the instructions' order);
// only the opcode waits, in case the next instruction can share it.
void InstructionEncoder::Queue(const Instruction& next) {
    if (waiting_.type != InstructionType::Noop) {
        const int pair = PairOpcode(waiting_, next);
        if (pair != OpcodeIndex::kNone) {
            instructions_.push_back(static_cast<uint8_t>(pair));
            waiting_ = {};
            return;
        }
        WriteSingle(waiting_);
    }
    waiting_ = next;
}

int InstructionEncoder::PairOpcode(const Instruction& first, const Instruction& second) const {
    const OpcodeIndex& index = OpcodeIndex::Default();
    if (first.type == InstructionType::Add && second.type == InstructionType::Copy) {
        return index.AddThenCopy(first.size, second.size, second.mode);
    }
    if (first.type == InstructionType::Copy && second.type == InstructionType::Add) {
        return index.CopyThenAdd(first.size, first.mode, second.size);
    }
    return OpcodeIndex::kNone;
}

void InstructionEncoder::WriteSingle(const Instruction& instruction) {
    const OpcodeIndex& index = OpcodeIndex::Default();
    const int implied = index.Single(instruction.type, instruction.size, instruction.mode);
    if (implied != OpcodeIndex::kNone) {
        instructions_.push_back(static_cast<uint8_t>(implied));
        return;
    }
    instructions_.push_back(
        static_cast<uint8_t>(index.SingleWithExplicitSize(instruction.type, instruction.mode)));
    plumbing::AppendVarint(instructions_, instruction.size);
}

} // namespace vcdiff
