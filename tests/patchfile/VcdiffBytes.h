#pragma once
#include <cstdint>
#include <vector>

namespace patchfile::testing {

// Hand-made VCDIFF deltas for cases no encoder would write.
std::vector<uint8_t> Varint(uint64_t value);
// One VCD_SOURCE window copying `length` (4 to 18) bytes from `position` of the source.
std::vector<uint8_t> CopyFromSourceDelta(uint64_t position, uint8_t length);
// One window without source that claims a target of `targetLength` bytes.
std::vector<uint8_t> WindowClaimingTarget(uint64_t targetLength);

} // namespace patchfile::testing
