#pragma once
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace blockdiff {

// Where a slice of the new file may come from in an old file too large to index whole: a
// table of the old file's kStringBytes-byte strings sampled every kStep bytes, read once
// in pieces and never held. Every position of a slice of the new file looks its string up
// and votes for the part of the old file (kPartBytes) the sample it finds lies in.
// A bucket keeps the newest sample that hashes to it, with a check of the whole hash, so a
// string found is almost always the same string. Memory: 8 bytes per bucket, at most 2^23
// buckets (64 MiB), fewer for a smaller file. Only the first 32 GiB of the old file are sampled.
class SampledStrings {
public:
    static constexpr size_t kStringBytes = 32;
    static constexpr size_t kStep = 8;
    static constexpr uint64_t kPartBytes = 1u << 20;

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
        uint32_t sample = 0; // offset / kStep + 1; 0 for none
        uint32_t check = 0;
    };

    size_t BucketOf(uint64_t hash) const {
        return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> (64 - bits_));
    }

    uint64_t oldSize_ = 0;
    unsigned bits_ = 0;
    std::vector<Bucket> buckets_;
};

} // namespace blockdiff
