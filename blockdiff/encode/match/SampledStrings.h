#pragma once
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// Where a slice of the new file may come from in an old file too large to index whole: a
// table of the old file's kStringBytes-byte strings, read once in pieces and never held. The
// strings sampled are chosen by their content, about one every 2^kStepBits bytes, or fewer
// for a large file so that there are no more samples than buckets; so a slice of the new
// file needs to look up only the strings the same choice picks among its own, and each it
// finds votes for the part of the old file (kPartBytes) the sample lies in.
// A bucket keeps the newest sample that hashes to it, with a check of the whole hash, so a
// string found is almost always the same string. Memory: 8 bytes per bucket, at most 2^23
// buckets (64 MiB), fewer for a smaller file; from 64 MiB of old file on, the samples grow
// sparser with the file (about one every 128 bytes at 1 GiB).
class SampledStrings {
public:
    static constexpr size_t kStringBytes = 32;
    static constexpr unsigned kStepBits = 3;
    static constexpr uint64_t kPartBytes = 1u << 20;
    static constexpr unsigned kMaxBucketBits = 23;

    // At most 2^maxBucketBits buckets; fewer only where a test needs a small table.
    explicit SampledStrings(unsigned maxBucketBits = kMaxBucketBits)
        : maxBucketBits_(maxBucketBits) {}

    // Reads the whole old file. False when it cannot be read.
    bool Build(plumbing::Source& old);

    // Adds to votes[p], for every part p of the old file, the strings of data[0, length) that
    // were found in it. `votes` has PartCount() entries.
    void Vote(const uint8_t* data, size_t length, std::vector<uint32_t>& votes) const;

    size_t PartCount() const {
        return static_cast<size_t>((oldSize_ + kPartBytes - 1) / kPartBytes);
    }

private:
    struct Bucket {
        uint32_t part = 0; // the sample's part + 1; 0 for none
        uint32_t check = 0;
    };

    // About how many strings a choice of one in `step` takes from the old file.
    uint64_t SamplesAt(uint64_t step) const {
        return oldSize_ < kStringBytes ? 0 : (oldSize_ - kStringBytes) / step + 1;
    }

    // Whether the string of this hash is one of the samples, about one in 2^stepBits_.
    bool Chosen(uint64_t hash) const;

    size_t BucketOf(uint64_t hash) const {
        return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> (64 - bits_));
    }

    unsigned maxBucketBits_;
    uint64_t oldSize_ = 0;
    unsigned stepBits_ = kStepBits;
    unsigned bits_ = 0;
    std::vector<Bucket> buckets_;
};

} // namespace blockdiff
