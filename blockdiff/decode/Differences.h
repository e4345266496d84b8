#pragma once
#include <cstddef>
#include <cstdint>

// Adding the differences of a block to the old bytes its covers copied.
namespace blockdiff {

// out[i] += differences[i], modulo 256.
void AddDense(uint8_t* out, const uint8_t* differences, size_t length);

// Walks the sparse differences of a block (format::DifferenceForm::Sparse) alongside its
// covers: the covers' bytes, back to back, are the "covered" positions the entries count in.
class SparseDifferences {
public:
    SparseDifferences(const uint8_t* positions, size_t positionsSize, const uint8_t* values,
                      size_t valuesSize)
        : positions_(positions), positionsSize_(positionsSize), values_(values),
          valuesSize_(valuesSize) {
        Load(0);
    }

    // Adds the entries at covered positions [coveredStart, coveredStart + length), one
    // cover's bytes, to `out`, which holds those bytes. False when an entry is malformed.
    bool Apply(uint8_t* out, uint64_t coveredStart, size_t length) {
        return ApplyPart(out, coveredStart, length, length);
    }
    // The same for the entries starting in the first `part` bytes of the cover only, so that
    // a long cover can be done in pieces; an entry is cut at the end of the cover, never of
    // the part. The rest follows with `out` and `coveredStart` unchanged and a larger part.
    bool ApplyPart(uint8_t* out, uint64_t coveredStart, size_t length, size_t part);
    // True when every entry has been applied and no byte of either stream is left over.
    bool Finished() const {
        return !malformed_ && next_ == kNone && positionsUsed_ == positionsSize_ &&
               valuesUsed_ == valuesSize_;
    }

private:
    static constexpr uint64_t kNone = UINT64_MAX;

    // Reads the position of the entry after covered position `from`.
    void Load(uint64_t from);

    const uint8_t* positions_;
    size_t positionsSize_;
    size_t positionsUsed_ = 0;
    const uint8_t* values_;
    size_t valuesSize_;
    size_t valuesUsed_ = 0;
    uint64_t next_ = kNone; // covered position of the next entry
    bool malformed_ = false;
};

} // namespace blockdiff
