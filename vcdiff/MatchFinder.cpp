#include "MatchFinder.h"

#include "AddressChoice.h"
#include "Varint.h"

#include <algorithm>
#include <cstring>

namespace vcdiff {

namespace {

constexpr unsigned kMinHashBits = 16;
constexpr unsigned kMaxHashBits = 22;
constexpr size_t kMaxOpcodeSize = 18;

unsigned HashBitsFor(size_t length, bool chained) {
    if (!chained) {
        length /= 4;
    }
    unsigned bits = kMinHashBits;
    while (bits < kMaxHashBits && (size_t{1} << bits) < length) {
        ++bits;
    }
    return bits;
}

// The estimated bytes a COPY takes: the opcode, the size when the opcode cannot imply it,
// and the address.
long CopyCost(size_t length, size_t addressCost) {
    const size_t sizeCost = length >= MatchFinder::kMinMatch && length <= kMaxOpcodeSize
                                ? 0
                                : plumbing::VarintLength(length);
    return static_cast<long>(1 + sizeCost + addressCost);
}

} // namespace

void MatchFinder::Prepare(const uint8_t* u, size_t segmentLength, size_t length, bool sameSegment,
                          bool keepSegmentIndex) {
    u_ = u;
    length_ = length;
    const unsigned bits = HashBitsFor(length, chained());
    if (sameSegment && !segmentHead_.empty() && segmentLength == segmentLength_ &&
        bits == hashBits_) {
        head_ = segmentHead_;
        if (chained()) {
            previous_.resize(length);
        }
        indexed_ = segmentLength_;
        return;
    }
    segmentLength_ = segmentLength;
    hashBits_ = bits;
    head_.assign(size_t{1} << bits, kEmpty);
    if (chained()) {
        previous_.assign(length, kEmpty);
    }
    // Positions whose hash would reach into the target window are left out: the segment's
    // index is reused for later windows with other targets.
    for (size_t pos = 0; pos + kMinMatch <= segmentLength; ++pos) {
        Insert(pos);
    }
    indexed_ = segmentLength;
    if (keepSegmentIndex) {
        segmentHead_ = head_;
    } else {
        std::vector<uint32_t>().swap(segmentHead_);
    }
    IndexLongStrings();
}

void MatchFinder::IndexLongStrings() {
    longHashBits_ = HashBitsFor(segmentLength_ / kLongStep, true);
    longHead_.assign(size_t{1} << longHashBits_, kEmpty);
    for (size_t pos = 0; pos + kLongMatch <= segmentLength_; pos += kLongStep) {
        longHead_[LongHash(pos)] = static_cast<uint32_t>(pos);
    }
}

uint32_t MatchFinder::Hash(size_t pos) const {
    uint32_t word;
    std::memcpy(&word, u_ + pos, sizeof word);
    return (word * 2654435761u) >> (32 - hashBits_);
}

uint32_t MatchFinder::LongHash(size_t pos) const {
    uint64_t hash = 0;
    for (size_t at = 0; at < kLongMatch; at += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, u_ + pos + at, sizeof word);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    }
    return static_cast<uint32_t>(hash >> (64 - longHashBits_));
}

void MatchFinder::Insert(size_t pos) {
    uint32_t& bucket = head_[Hash(pos)];
    if (chained()) {
        previous_[pos] = bucket;
    }
    bucket = static_cast<uint32_t>(pos);
}

void MatchFinder::IndexUpTo(size_t pos) {
    const size_t end = std::min(pos, length_ >= kMinMatch ? length_ - kMinMatch + 1 : 0);
    for (; indexed_ < end; ++indexed_) {
        Insert(indexed_);
    }
    indexed_ = std::max(indexed_, pos);
}

size_t MatchFinder::MatchLength(size_t address, size_t pos) const {
    size_t limit = length_ - pos;
    if (address < segmentLength_) {
        limit = std::min(limit, segmentLength_ - address);
    }
    const uint8_t* a = u_ + address;
    const uint8_t* b = u_ + pos;
    size_t n = 0;
    while (n + sizeof(uint64_t) <= limit) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a + n, sizeof x);
        std::memcpy(&y, b + n, sizeof y);
        if (x != y) {
            break;
        }
        n += sizeof x;
    }
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

void MatchFinder::Consider(size_t address, size_t pos, const AddressCache& cache,
                           Match& best) const {
    // A COPY costs at least two bytes, so a match shorter than this cannot beat `best`:
    // one byte compared there rules most candidates out.
    const size_t needed = std::max<size_t>(kMinMatch, static_cast<size_t>(best.gain + 2));
    if (needed > length_ - pos || u_[address + needed - 1] != u_[pos + needed - 1]) {
        return;
    }
    const size_t length = MatchLength(address, pos);
    if (length < needed) {
        return;
    }
    const size_t addressCost = ChooseAddress(cache, address, pos).cost;
    const long gain = static_cast<long>(length) - CopyCost(length, addressCost);
    if (gain > best.gain || (gain == best.gain && length > best.length)) {
        best = {address, length, gain};
    }
}

Match MatchFinder::Find(size_t pos, const AddressCache& cache, const size_t* hints,
                        size_t hintCount) const {
    Match best;
    if (length_ - pos < kMinMatch) {
        return best;
    }
    for (size_t i = 0; i < hintCount; ++i) {
        if (hints[i] < pos) {
            Consider(hints[i], pos, cache, best);
        }
    }
    if (segmentLength_ >= kLongMatch && length_ - pos >= kLongMatch) {
        const uint32_t sampled = longHead_[LongHash(pos)];
        if (sampled != kEmpty) {
            Consider(sampled, pos, cache, best);
        }
    }
    uint32_t candidate = head_[Hash(pos)];
    for (size_t depth = params_.maxChain; candidate != kEmpty && depth > 0; --depth) {
        Consider(candidate, pos, cache, best);
        if (best.length >= params_.niceLength || !chained()) {
            break;
        }
        candidate = previous_[candidate];
    }
    return best;
}

} // namespace vcdiff
