#include "SampledStrings.h"

#include <algorithm>

namespace blockdiff {
namespace {

constexpr size_t kReadPiece = 8u << 20;
constexpr unsigned kMinBits = 12;

// A polynomial hash of the last kStringBytes bytes, moved along one byte at a time.
class RollingHash {
public:
    RollingHash() {
        for (size_t i = 0; i < SampledStrings::kStringBytes - 1; ++i) {
            outFactor_ *= kBase;
        }
    }
    // Takes `in` in and, once the window is full, `out` (the byte kStringBytes before) out.
    void Roll(uint8_t in, uint8_t out, bool full) {
        if (full) {
            hash_ -= out * outFactor_;
        }
        hash_ = hash_ * kBase + in;
    }
    uint64_t value() const { return hash_; }

private:
    static constexpr uint64_t kBase = 0x100000001B3ull;
    uint64_t hash_ = 0;
    uint64_t outFactor_ = 1;
};

uint32_t CheckOf(uint64_t hash) {
    return static_cast<uint32_t>(hash >> 32) ^ static_cast<uint32_t>(hash);
}

} // namespace

bool SampledStrings::Build(plumbing::Source& old) {
    oldSize_ = old.Size();
    bits_ = kMinBits;
    while (bits_ < maxBucketBits_ && (uint64_t{1} << bits_) < SamplesAt(uint64_t{1} << kStepBits)) {
        ++bits_;
    }
    // More samples than buckets would keep the newest few: the start of a large file would
    // lose nearly all of its samples and never be voted for. A coarser step keeps some of
    // every part, which is all the votes need.
    stepBits_ = kStepBits;
    while (SamplesAt(uint64_t{1} << stepBits_) > (uint64_t{1} << bits_)) {
        ++stepBits_;
    }
    buckets_.assign(size_t{1} << bits_, Bucket());

    // Pieces overlap by a string's length, so that the window carries across them.
    std::vector<uint8_t> piece(kReadPiece + kStringBytes);
    RollingHash hash;
    size_t kept = 0;
    for (uint64_t offset = 0; offset < oldSize_;) {
        const size_t length =
            static_cast<size_t>(std::min<uint64_t>(kReadPiece, oldSize_ - offset));
        if (!old.Read(offset, piece.data() + kept, length)) {
            return false;
        }
        const size_t total = kept + length;
        for (size_t i = kept; i < total; ++i) {
            const uint64_t position = offset + (i - kept); // of the byte taken in
            const bool full = position >= kStringBytes;
            hash.Roll(piece[i], full ? piece[i - kStringBytes] : 0, full);
            if (position + 1 >= kStringBytes && Chosen(hash.value())) {
                const uint64_t start = position + 1 - kStringBytes; // of the string hashed
                buckets_[BucketOf(hash.value())] = {static_cast<uint32_t>(start / kPartBytes + 1),
                                                    CheckOf(hash.value())};
            }
        }
        kept = std::min(total, kStringBytes);
        std::copy(piece.begin() + (total - kept), piece.begin() + total, piece.begin());
        offset += length;
    }
    return true;
}

void SampledStrings::Vote(const uint8_t* data, size_t length, std::vector<uint32_t>& votes) const {
    RollingHash hash;
    for (size_t i = 0; i < length; ++i) {
        const bool full = i >= kStringBytes;
        hash.Roll(data[i], full ? data[i - kStringBytes] : 0, full);
        if (i + 1 < kStringBytes || !Chosen(hash.value())) {
            continue;
        }
        const Bucket& bucket = buckets_[BucketOf(hash.value())];
        if (bucket.part != 0 && bucket.check == CheckOf(hash.value())) {
            ++votes[bucket.part - 1];
        }
    }
}

bool SampledStrings::Chosen(uint64_t hash) const {
    // Mixed apart from the bucket's bits, so that the strings chosen fill the whole table.
    hash ^= hash >> 31;
    hash *= 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 27;
    return (hash >> (64 - stepBits_)) == 0;
}

} // namespace blockdiff
