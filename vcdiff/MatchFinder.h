#pragma once
#include "AddressCache.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcdiff {

struct MatchParams {
    // Chain entries examined per position; more finds better matches, slower. At 1 only the
    // newest position of each hash is kept: no chains, and a quarter of the buckets.
    size_t maxChain = 64;
    // A match this long ends the search at once.
    size_t niceLength = 512;
};

struct Match {
    size_t address = 0; // in the window's address space
    size_t length = 0;
    // Bytes saved against adding the same bytes: length minus the estimated cost of the COPY.
    long gain = 0;
};

// Hash chains over one window's address space U: the source segment followed by the target
// window, in one buffer. The segment is indexed whole up front; target positions are indexed
// as the encoder passes them, so a match never reaches data the decoder will not have yet.
// In data of few distinct bytes a 4-byte string occurs thousands of times and the chains
// reach only the newest of them; a second table of long strings, sampled every kLongStep
// bytes of the segment, finds the old place of such data again (the encoder then extends
// the match backwards to where it starts).
// Memory: 4 bytes per byte of U for the chains (none at a chain of 1), a head table of 4 bytes
// per bucket (at most 2^22), its copy when later windows reuse the segment, and the long table
// (at most 2^22 buckets of 4 bytes).
class MatchFinder {
public:
    static constexpr size_t kMinMatch = 4;
    static constexpr size_t kLongMatch = 32;
    static constexpr size_t kLongStep = 8;

    explicit MatchFinder(MatchParams params = {}) : params_(params) {}

    // Indexes a new window. When `sameSegment` is true the segment is the one of the last
    // call, already in `u`, and its index is reused; `keepSegmentIndex` says a later window
    // may reuse this one's.
    void Prepare(const uint8_t* u, size_t segmentLength, size_t length, bool sameSegment,
                 bool keepSegmentIndex);
    // Indexes every target position below `pos`.
    void IndexUpTo(size_t pos);
    // The best match at target position `pos` (indexed up to `pos`) given the cost of its
    // address in `cache`; `hints` are addresses worth checking first (the continuations of
    // earlier copies).
    Match Find(size_t pos, const AddressCache& cache, const size_t* hints, size_t hintCount) const;
    // The longest common run of the bytes at `address` and `pos`, not crossing the end of
    // the segment when `address` lies in it.
    size_t MatchLength(size_t address, size_t pos) const;

    size_t segmentLength() const { return segmentLength_; }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;

    bool chained() const { return params_.maxChain > 1; }
    uint32_t Hash(size_t pos) const;
    uint32_t LongHash(size_t pos) const;
    void Insert(size_t pos);
    void IndexLongStrings();
    void Consider(size_t address, size_t pos, const AddressCache& cache, Match& best) const;

    MatchParams params_;
    const uint8_t* u_ = nullptr;
    size_t segmentLength_ = 0;
    size_t length_ = 0;
    size_t indexed_ = 0;
    unsigned hashBits_ = 0;
    std::vector<uint32_t> head_;
    std::vector<uint32_t> segmentHead_; // head_ as it stood with only the segment indexed
    std::vector<uint32_t> previous_;
    unsigned longHashBits_ = 0;
    std::vector<uint32_t> longHead_; // the newest sampled segment position per long string
};

} // namespace vcdiff
