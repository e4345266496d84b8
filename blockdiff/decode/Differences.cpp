#include "Differences.h"

#include "BlockFormat.h"
#include "LittleEndian.h"
#include "Varint.h"

#include <algorithm>
#include <cstring>

namespace blockdiff {
namespace {

// Adds the little-endian number of `width` bytes (1 to 4) at `value` to the one at `out`;
// the carry out of the last byte is dropped.
void AddWord(uint8_t* out, const uint8_t* value, size_t width) {
    if (width == format::kSparseWordBytes) {
        constexpr size_t kWord = format::kSparseWordBytes;
        const uint64_t sum =
            plumbing::LoadLittleEndian(out, kWord) + plumbing::LoadLittleEndian(value, kWord);
        plumbing::StoreLittleEndian(out, sum, kWord);
        return;
    }
    for (size_t i = 0, carry = 0; i < width; ++i) {
        carry += size_t{out[i]} + value[i];
        out[i] = static_cast<uint8_t>(carry);
        carry >>= 8;
    }
}

} // namespace

// Eight bytes at a time, without carries between them: the low seven bits of each byte are
// added apart from the top bits, whose sum is the exclusive or.
void AddDense(uint8_t* out, const uint8_t* differences, size_t length) {
    constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t a;
        uint64_t b;
        std::memcpy(&a, out + i, 8);
        std::memcpy(&b, differences + i, 8);
        const uint64_t sum = ((a & kLow) + (b & kLow)) ^ ((a ^ b) & kHigh);
        std::memcpy(out + i, &sum, 8);
    }
    for (; i < length; ++i) {
        out[i] = static_cast<uint8_t>(out[i] + differences[i]);
    }
}

bool SparseDifferences::ApplyPart(uint8_t* out, uint64_t coveredStart, size_t length, size_t part) {
    const uint64_t end = coveredStart + length;
    const uint64_t partEnd = coveredStart + std::min(part, length);
    while (next_ < partEnd) {
        const size_t width =
            static_cast<size_t>(std::min<uint64_t>(format::kSparseWordBytes, end - next_));
        if (width > valuesSize_ - valuesUsed_) {
            malformed_ = true;
            return false;
        }
        AddWord(out + (next_ - coveredStart), values_ + valuesUsed_, width);
        valuesUsed_ += width;
        Load(next_ + width);
    }
    return !malformed_;
}

void SparseDifferences::Load(uint64_t from) {
    next_ = kNone;
    if (positionsUsed_ == positionsSize_) {
        return;
    }
    uint64_t unchanged = 0;
    if (plumbing::ReadVarint(positions_, positionsSize_, positionsUsed_, unchanged) !=
        plumbing::VarintStatus::Ok) {
        malformed_ = true;
        return;
    }
    // A position beyond any block is never reached and fails Finished().
    next_ = unchanged < format::kMaxBlockOutput ? from + unchanged : kNone - 1;
}

} // namespace blockdiff
