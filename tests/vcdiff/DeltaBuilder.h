#pragma once
#include "TestIo.h"

#include <cstdint>
#include <optional>
#include <vector>

// Hand-built deltas whose every field can be set, including to wrong values, for tests of
// the decoder against damaged or unusual input.
namespace vcdiff::test {

// A VCDIFF integer as the format writes it.
Bytes Int(uint64_t value);
// An integer written with `padding` leading zero groups (a valid but overlong encoding when
// the result stays within ten bytes).
Bytes PaddedInt(uint64_t value, size_t padding);

struct HeaderSpec {
    Bytes magic = {0xD6, 0xC3, 0xC4};
    uint8_t version = 0;
    uint8_t indicator = 0;
    // Everything after the indicator: an application header's length and bytes, etc.
    Bytes rest;

    Bytes Serialize() const;
};

// Instructions with explicit sizes (opcodes 0 RUN, 1 ADD, 19 + 16 * mode COPY).
struct Program {
    Bytes data;
    Bytes instructions;
    Bytes addresses;

    Program& Add(const Bytes& bytes);
    Program& Run(uint64_t size, uint8_t byte);
    Program& Copy(uint64_t size, uint8_t mode, const Bytes& address);
};

struct WindowSpec {
    uint8_t indicator = 0;
    Bytes segmentLength;              // written when the indicator names a segment
    Bytes segmentPosition;            // likewise
    std::optional<Bytes> deltaLength; // computed from the fields when absent
    Bytes targetLength;
    uint8_t deltaIndicator = 0;
    std::optional<Bytes> dataLength; // computed when absent, likewise the next two
    std::optional<Bytes> instructionsLength;
    std::optional<Bytes> addressesLength;
    uint32_t checksum = 0; // written when the indicator has the checksum bit
    Program program;

    // Everything the delta encoding length counts.
    Bytes Encoding() const;
    Bytes Serialize() const;
};

struct DeltaSpec {
    HeaderSpec header;
    std::vector<WindowSpec> windows;

    Bytes Serialize() const;
};

} // namespace vcdiff::test
