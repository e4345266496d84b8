#include "VcdiffBytes.h"

namespace patchfile::testing {
namespace {

const std::vector<uint8_t> kHeader = {0xD6, 0xC3, 0xC4, 0x00, 0x00};

void Append(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

} // namespace

std::vector<uint8_t> Varint(uint64_t value) {
    std::vector<uint8_t> digits;
    do {
        digits.insert(digits.begin(), static_cast<uint8_t>((value & 0x7F) | 0x80));
        value >>= 7;
    } while (value != 0);
    digits.back() &= 0x7F;
    return digits;
}

std::vector<uint8_t> CopyFromSourceDelta(uint64_t position, uint8_t length) {
    // Target length, indicator, section lengths (data 0, instructions 1, addresses 1), one
    // COPY of mode 0 whose size is in its opcode (4 -> 20), address 0 of the segment.
    std::vector<uint8_t> encoding = Varint(length);
    Append(encoding, {0x00, 0x00, 0x01, 0x01, static_cast<uint8_t>(16 + length), 0x00});
    std::vector<uint8_t> bytes = kHeader;
    bytes.push_back(0x01); // VCD_SOURCE
    Append(bytes, Varint(length));
    Append(bytes, Varint(position));
    Append(bytes, Varint(encoding.size()));
    Append(bytes, encoding);
    return bytes;
}

std::vector<uint8_t> WindowClaimingTarget(uint64_t targetLength) {
    std::vector<uint8_t> encoding = Varint(targetLength);
    Append(encoding, {0x00, 0x00, 0x00, 0x00});
    std::vector<uint8_t> bytes = kHeader;
    bytes.push_back(0x00);
    Append(bytes, Varint(encoding.size()));
    Append(bytes, encoding);
    return bytes;
}

} // namespace patchfile::testing
