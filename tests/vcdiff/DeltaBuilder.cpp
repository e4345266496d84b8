#include "DeltaBuilder.h"

#include "Varint.h"

namespace vcdiff::test {

namespace {
void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}
} // namespace

Bytes Int(uint64_t value) {
    Bytes bytes;
    plumbing::AppendVarint(bytes, value);
    return bytes;
}

Bytes PaddedInt(uint64_t value, size_t padding) {
    Bytes bytes(padding, 0x80);
    Append(bytes, Int(value));
    return bytes;
}

Bytes HeaderSpec::Serialize() const {
    Bytes out = magic;
    out.push_back(version);
    out.push_back(indicator);
    Append(out, rest);
    return out;
}

Program& Program::Add(const Bytes& bytes) {
    instructions.push_back(1);
    Append(instructions, Int(bytes.size()));
    Append(data, bytes);
    return *this;
}

Program& Program::Run(uint64_t size, uint8_t byte) {
    instructions.push_back(0);
    Append(instructions, Int(size));
    data.push_back(byte);
    return *this;
}

Program& Program::Copy(uint64_t size, uint8_t mode, const Bytes& address) {
    instructions.push_back(static_cast<uint8_t>(19 + 16 * mode));
    Append(instructions, Int(size));
    Append(addresses, address);
    return *this;
}

Bytes WindowSpec::Encoding() const {
    Bytes encoding = targetLength;
    encoding.push_back(deltaIndicator);
    Append(encoding, dataLength.value_or(Int(program.data.size())));
    Append(encoding, instructionsLength.value_or(Int(program.instructions.size())));
    Append(encoding, addressesLength.value_or(Int(program.addresses.size())));
    if (indicator & 0x04) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            encoding.push_back(static_cast<uint8_t>(checksum >> shift));
        }
    }
    Append(encoding, program.data);
    Append(encoding, program.instructions);
    Append(encoding, program.addresses);
    return encoding;
}

Bytes WindowSpec::Serialize() const {
    const Bytes encoding = Encoding();
    Bytes out;
    out.push_back(indicator);
    if (indicator & 0x03) {
        Append(out, segmentLength);
        Append(out, segmentPosition);
    }
    Append(out, deltaLength.value_or(Int(encoding.size())));
    Append(out, encoding);
    return out;
}

Bytes DeltaSpec::Serialize() const {
    Bytes out = header.Serialize();
    for (const WindowSpec& window : windows) {
        Append(out, window.Serialize());
    }
    return out;
}

} // namespace vcdiff::test
