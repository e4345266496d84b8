#include "Rel32Finder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace x86image {
namespace {

// Every opcode the scan must stop at in [0, length), asking Rel32At at each byte.
std::vector<size_t> OpcodesByteByByte(const std::vector<uint8_t>& bytes) {
    std::vector<size_t> found;
    for (size_t at = 0; at < bytes.size(); ++at) {
        if (Rel32At(bytes.data(), at, bytes.size()) != 0) {
            found.push_back(at);
        }
    }
    return found;
}

// The same, asking Rel32At only where NextOpcodeCandidate stops.
std::vector<size_t> OpcodesBySkipping(const std::vector<uint8_t>& bytes) {
    std::vector<size_t> found;
    for (size_t at = 0; (at = NextOpcodeCandidate(bytes.data(), at, bytes.size())) < bytes.size();
         ++at) {
        if (Rel32At(bytes.data(), at, bytes.size()) != 0) {
            found.push_back(at);
        }
    }
    return found;
}

// Bytes drawn mostly from the ones the scan tests, so that every pairing of an opcode byte
// with the byte after it, at every place in a word and at the end, comes up often.
std::vector<uint8_t> CodeLikeBytes(std::mt19937& random, size_t length) {
    static const uint8_t kAlphabet[] = {0xE8, 0xE9, 0x0F, 0x80, 0x8F, 0x7F, 0x90, 0xF0,
                                        0xE7, 0xEA, 0x0E, 0x1F, 0x00, 0xFF, 0x01, 0x88};
    std::vector<uint8_t> bytes(length);
    for (uint8_t& byte : bytes) {
        const uint32_t draw = random();
        byte = draw % 4 == 0 ? static_cast<uint8_t>(draw >> 8) : kAlphabet[(draw >> 8) % 16];
    }
    return bytes;
}

TEST(Rel32Finder, SkippingFindsEveryOpcodeAByteByByteScanFinds) {
    std::mt19937 random(20261209);
    struct Case {
        size_t length;
        int buffers;
    };
    // Short buffers reach the tail of fewer than a word and the byte after the last word;
    // each buffer is exactly its length, so that a read beyond it is caught by the sanitizer.
    for (const Case& c : {Case{0, 1}, Case{1, 50}, Case{7, 200}, Case{8, 200}, Case{9, 200},
                          Case{10, 200}, Case{17, 200}, Case{64, 200}, Case{4099, 20}}) {
        for (int i = 0; i < c.buffers; ++i) {
            const std::vector<uint8_t> bytes = CodeLikeBytes(random, c.length);
            ASSERT_EQ(OpcodesBySkipping(bytes), OpcodesByteByByte(bytes))
                << "length " << c.length << ", buffer " << i;
        }
    }
}

TEST(Rel32Finder, TwoByteOpcodesOtherThanConditionalJumpsAreSkippedWithinAWord) {
    // 0F 1F (a multi-byte no-op) and 0F 7F at every place of a word: none is a candidate
    // while the byte after the 0F lies in the range read.
    for (const uint8_t second : {uint8_t{0x1F}, uint8_t{0x7F}, uint8_t{0x90}}) {
        for (size_t place = 0; place < 8; ++place) {
            std::vector<uint8_t> bytes(24, 0x90);
            bytes[place] = kTwoByteOpcode;
            bytes[place + 1] = second;
            EXPECT_EQ(NextOpcodeCandidate(bytes.data(), 0, bytes.size()), bytes.size())
                << "0F " << int{second} << " at " << place;
        }
    }
}

} // namespace
} // namespace x86image
