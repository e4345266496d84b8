#pragma once
#include "AddressCache.h"
#include "CodeTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcdiff {

// Builds the three sections of one window from ADD and COPY instructions given in target
// order, with the default code table: an ADD of up to 4 bytes and the COPY after it, or a
// 4-byte COPY and a 1-byte ADD after it, share one opcode where the table has one, and each
// address takes its cheapest mode in the near and same caches.
class InstructionEncoder {
public:
    void Reset();
    void Add(const uint8_t* bytes, size_t length);
    // `address` and `here` are positions in the window's address space.
    void Copy(uint64_t address, size_t length, uint64_t here);
    // Writes the last instruction, which may have been waiting for a partner.
    void Finish();

    const AddressCache& cache() const { return cache_; }
    const std::vector<uint8_t>& data() const { return data_; }
    const std::vector<uint8_t>& instructions() const { return instructions_; }
    const std::vector<uint8_t>& addresses() const { return addresses_; }

private:
    struct Instruction {
        InstructionType type = InstructionType::Noop;
        size_t size = 0;
        uint8_t mode = 0;
    };

    void Queue(const Instruction& next);
    int PairOpcode(const Instruction& first, const Instruction& second) const;
    void WriteSingle(const Instruction& instruction);

    AddressCache cache_;
    Instruction waiting_;
    std::vector<uint8_t> data_;
    std::vector<uint8_t> instructions_;
    std::vector<uint8_t> addresses_;
};

} // namespace vcdiff
