#include "HuffmanCode.h"

#include "DeflateFormat.h"
#include "Refusal.h"

namespace deflatestream {

using plumbing::Refuse;

namespace {

uint16_t Reversed(uint16_t code, unsigned length) {
    uint16_t out = 0;
    for (unsigned i = 0; i < length; ++i) {
        out = static_cast<uint16_t>(out << 1 | (code & 1));
        code >>= 1;
    }
    return out;
}

} // namespace

bool HuffmanCode::Build(const uint8_t* lengths, unsigned symbols, CodeUse use, std::string& why) {
    symbols_ = symbols;
    counts_.fill(0);
    if (symbols > lengths_.size()) {
        return Refuse(why, "too many symbols for a Huffman code");
    }
    for (unsigned s = 0; s < symbols; ++s) {
        if (lengths[s] > format::kMaxCodeBits) {
            return Refuse(why, "Huffman code length beyond 15 bits");
        }
        lengths_[s] = lengths[s];
        ++counts_[lengths[s]];
    }
    unsigned longest = 0;
    int left = 1;
    for (unsigned length = 1; length <= format::kMaxCodeBits; ++length) {
        left = 2 * left - counts_[length];
        if (left < 0) {
            return Refuse(why, "over-subscribed Huffman code");
        }
        if (counts_[length] != 0) {
            longest = length;
        }
    }
    if (longest == 0 && use != CodeUse::kDistances) {
        return Refuse(why, "empty Huffman code");
    }
    if (left > 0 && longest != 0 && (use == CodeUse::kCodeLengths || longest != 1)) {
        return Refuse(why, "incomplete Huffman code");
    }
    counts_[0] = 0;
    std::array<uint16_t, 16> next{};
    std::array<uint16_t, 16> offsets{};
    uint16_t code = 0;
    for (unsigned length = 1; length <= format::kMaxCodeBits; ++length) {
        code = static_cast<uint16_t>((code + counts_[length - 1]) << 1);
        next[length] = code;
        offsets[length] = static_cast<uint16_t>(offsets[length - 1] + counts_[length - 1]);
    }
    // A table no wider than the longest code: a hostile stream of many tiny blocks then
    // costs little per block.
    rootBits_ = longest == 0 ? 1 : longest < kRootBits ? longest : kRootBits;
    root_.assign(1u << rootBits_, 0);
    for (unsigned s = 0; s < symbols; ++s) {
        const unsigned length = lengths_[s];
        if (length == 0) {
            continue;
        }
        sorted_[offsets[length]++] = static_cast<uint16_t>(s);
        codes_[s] = Reversed(next[length]++, length);
        if (length <= rootBits_) {
            for (unsigned entry = codes_[s]; entry < root_.size(); entry += 1u << length) {
                root_[entry] = static_cast<uint16_t>(s << 4 | length);
            }
        }
    }
    return true;
}

HuffmanCode::Decoded HuffmanCode::Decode(BitReader& reader, unsigned& symbol) const {
    reader.Need(rootBits_);
    const uint16_t entry = root_[reader.Peek(rootBits_)];
    const unsigned length = entry & 15;
    if (length == 0) {
        return DecodeLong(reader, symbol);
    }
    if (length > reader.Buffered()) {
        return Decoded::kEnded;
    }
    symbol = entry >> 4;
    reader.Drop(length);
    return Decoded::kSymbol;
}

HuffmanCode::Decoded HuffmanCode::DecodeLong(BitReader& reader, unsigned& symbol) const {
    // Canonical codes of one length are consecutive: walk the lengths one bit at a time.
    reader.Need(format::kMaxCodeBits);
    const unsigned available = reader.Buffered();
    const uint32_t bits = reader.Peek(format::kMaxCodeBits);
    int code = 0;
    int first = 0;
    int index = 0;
    for (unsigned length = 1; length <= format::kMaxCodeBits && length <= available; ++length) {
        code |= static_cast<int>((bits >> (length - 1)) & 1);
        const int count = counts_[length];
        if (code - first < count) {
            symbol = sorted_[index + code - first];
            reader.Drop(length);
            return Decoded::kSymbol;
        }
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    // Short of 15 bits, the missing ones might have made a code.
    return available < format::kMaxCodeBits ? Decoded::kEnded : Decoded::kBadCode;
}

} // namespace deflatestream
