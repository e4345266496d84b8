#pragma once
#include <cstdint>

// The constants of the raw deflate format (RFC 1951), shared by the parser and the writer.
namespace deflatestream::format {

enum BlockType : uint8_t { kStored = 0, kFixed = 1, kDynamic = 2, kReservedType = 3 };

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kFirstLengthSymbol = 257;
// Symbols 286 and 287 exist in the fixed code but mean nothing; 30 and 31 likewise among
// distances.
constexpr unsigned kLengthSymbols = 286;
constexpr unsigned kDistanceSymbols = 30;
constexpr unsigned kFixedLiteralSymbols = 288;
constexpr unsigned kCodeLengthSymbols = 19;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 258;
constexpr unsigned kMaxDistance = 32768;
// Length symbol 284 with all five extra bits set also means 258, a second spelling that
// some encoders use; the parse records where.
constexpr unsigned kLongLengthSymbol = 284;
constexpr unsigned kLongLengthExtra = 31;

constexpr unsigned kCodeLengthRepeat = 16;    // the previous length, 3 to 6 times
constexpr unsigned kCodeLengthZeros = 17;     // zero, 3 to 10 times
constexpr unsigned kCodeLengthZerosLong = 18; // zero, 11 to 138 times

constexpr uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The fixed code's lengths (block type 1).
inline uint8_t FixedLiteralLength(unsigned symbol) {
    return symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
}
constexpr uint8_t kFixedDistanceLength = 5;

// The symbol that codes a match length (3 to 258) in its usual spelling.
unsigned LengthSymbol(unsigned length);
// The symbol that codes a distance (1 to 32768).
unsigned DistanceSymbol(unsigned distance);

} // namespace deflatestream::format
