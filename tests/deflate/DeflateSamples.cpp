#include "DeflateSamples.h"

#include "Parser.h"
#include "Writer.h"

#include <zlib.h>

#include <algorithm>

namespace deflatestream::test {

namespace {

uint32_t Next(uint32_t& state) {
    state = state * 1103515245u + 12345u;
    return state >> 8;
}

Bytes Deflated(const Bytes& content, int level, int memLevel, int windowBits, int strategy,
               size_t piece) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, windowBits, memLevel, strategy), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(content.size())) + 64);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    size_t fed = 0;
    int status = Z_OK;
    do {
        const size_t step = std::min(piece, content.size() - fed);
        z.next_in = const_cast<uint8_t*>(content.data() + fed);
        z.avail_in = static_cast<uInt>(step);
        fed += step;
        status = deflate(&z, fed == content.size() ? Z_FINISH : Z_NO_FLUSH);
    } while (status == Z_OK);
    EXPECT_EQ(status, Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

} // namespace

Bytes RandomBytes(size_t size, uint32_t seed) {
    Bytes out(size);
    for (uint8_t& byte : out) {
        byte = static_cast<uint8_t>(Next(seed));
    }
    return out;
}

Bytes TextLike(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"quill",   "mere", "the",   "of",     "patch", "file",
                                         "version", "=",    "level", "window", "\n",    "1234"};
    Bytes out;
    while (out.size() < size) {
        const char* word = kWords[Next(seed) % std::size(kWords)];
        out.insert(out.end(), word, word + std::char_traits<char>::length(word));
        out.push_back(Next(seed) % 5 == 0 ? ',' : ' ');
    }
    out.resize(size);
    return out;
}

Bytes Repetitive(size_t size, uint32_t seed) {
    Bytes out;
    while (out.size() < size) {
        const Bytes text = TextLike(200 + Next(seed) % 300, seed);
        out.insert(out.end(), text.begin(), text.end());
        out.insert(out.end(), 300 + Next(seed) % 700, static_cast<uint8_t>(Next(seed)));
        // The same text again: a long match a little way back.
        out.insert(out.end(), text.begin(), text.end());
    }
    out.resize(size);
    return out;
}

Bytes ZlibStream(const Bytes& content, int level, int memLevel, int windowBits, int strategy,
                 size_t piece) {
    return Deflated(content, level, memLevel, -windowBits, strategy, piece);
}

Bytes ZlibWrapped(const Bytes& content, int level) {
    return Deflated(content, level, 8, 15, Z_DEFAULT_STRATEGY, content.size() + 1);
}

Bytes GzipMember(const Bytes& content, int level) {
    return Deflated(content, level, 8, 16 + 15, Z_DEFAULT_STRATEGY, content.size() + 1);
}

void BitPacker::Bits(uint32_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (used_ == 0) {
            bytes_.push_back(0);
        }
        bytes_.back() = static_cast<uint8_t>(bytes_.back() | ((value >> i) & 1) << used_);
        used_ = (used_ + 1) % 8;
    }
}

void BitPacker::Code(uint32_t code, unsigned length) {
    for (unsigned i = length; i-- > 0;) {
        Bits(code >> i & 1, 1);
    }
}

void BitPacker::FixedSymbol(unsigned symbol) {
    if (symbol < 144) {
        Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        Code(symbol - 256, 7);
    } else {
        Code(0xc0 + symbol - 280, 8);
    }
}

void BitPacker::AlignWith(uint32_t padding) {
    Bits(padding, (8 - used_) % 8);
}

Bytes BitPacker::Done() const {
    return bytes_;
}

std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::vector<uint32_t> codes(lengths.size(), 0);
    uint32_t code = 0;
    for (unsigned length = 1; length <= 15; ++length) {
        for (size_t s = 0; s < lengths.size(); ++s) {
            if (lengths[s] == length) {
                codes[s] = code++;
            }
        }
        code <<= 1;
    }
    return codes;
}

void PutDynamicHeader(BitPacker& bits, const DynamicRecipe& recipe, bool final) {
    static const uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
    bits.Bits(final, 1);
    bits.Bits(2, 2);
    bits.Bits(recipe.hlit, 5);
    bits.Bits(recipe.hdist, 5);
    bits.Bits(recipe.hclen, 4);
    std::vector<uint8_t> bySymbol(19, 0);
    for (size_t i = 0; i < recipe.codeLengthLengths.size(); ++i) {
        bits.Bits(recipe.codeLengthLengths[i], 3);
        bySymbol[kOrder[i]] = recipe.codeLengthLengths[i];
    }
    const std::vector<uint32_t> codes = CanonicalCodes(bySymbol);
    for (const auto& [symbol, extra] : recipe.sequence) {
        bits.Code(codes[symbol], bySymbol[symbol]);
        bits.Bits(extra, symbol == 16 ? 2 : symbol == 17 ? 3 : symbol == 18 ? 7 : 0);
    }
}

void PutDefaultDynamicTokens(BitPacker& bits) {
    // Literal code: 'a' -> 0, 256 -> 10, 257 -> 11; distance 1 -> 0.
    bits.Code(0, 1);
    bits.Code(3, 2);
    bits.Code(0, 1);
    bits.Code(2, 2);
}

::testing::AssertionResult RoundTrips(const Bytes& stream, const Bytes& content) {
    Bytes inflated, rebuilt;
    DeflateParse parse, readBack;
    std::string why;
    if (!ParseDeflate(stream.data(), stream.size(), inflated, parse, why)) {
        return ::testing::AssertionFailure() << "parse refused: " << why;
    }
    if (inflated != content) {
        return ::testing::AssertionFailure() << "content differs";
    }
    if (parse.streamBytes != stream.size() || parse.contentBytes != content.size()) {
        return ::testing::AssertionFailure() << "sizes differ: " << parse.streamBytes;
    }
    if (!WriteDeflate(parse, content.data(), content.size(), rebuilt, why)) {
        return ::testing::AssertionFailure() << "writer refused: " << why;
    }
    if (rebuilt != stream) {
        const auto at = std::mismatch(rebuilt.begin(), rebuilt.end(), stream.begin(), stream.end());
        return ::testing::AssertionFailure()
               << "rebuilt stream differs at byte " << (at.second - stream.begin()) << " of "
               << stream.size() << " (rebuilt " << rebuilt.size() << ")";
    }
    const Bytes serialized = SerializeParse(parse);
    if (!DeserializeParse(serialized.data(), serialized.size(), readBack) || !(readBack == parse)) {
        return ::testing::AssertionFailure() << "serialized parse reads back differently";
    }
    return ::testing::AssertionSuccess();
}

} // namespace deflatestream::test
