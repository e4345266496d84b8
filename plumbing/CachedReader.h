#pragma once
#include "BuildSizes.h"
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace plumbing {

// Reads the old file on demand through cached blocks for the copies of a delta (VCDIFF's
// COPY instructions, the block format's covers), so that the many short copies of a typical
// delta do not each become a read call, while long copies are read
// straight into place. Deltas of moved code alternate between many places in the old file,
// each used for a few hundred bytes before the next: small blocks keep the bytes read per
// copy low, and many of them keep each place loaded. The cache is set-associative, so a
// lookup looks at one set's few ways and never at every block. Memory: at most kSets * kWays
// blocks of kBlockSize (2 MiB), each taken when a copy first needs it, so a small source or a
// delta of few copies costs little; the whole source is never held.
class CachedReader {
public:
    static constexpr size_t kBlockSize = quill::SizeFor<size_t>(8 * 1024, 256);
    static constexpr size_t kWays = 4;
    static constexpr size_t kSets = quill::SizeFor<size_t>(64, 2);
    static constexpr size_t kBlockCount = kSets * kWays;

    explicit CachedReader(Source* source) : source_(source) {}

    // Reads `length` bytes at `offset`; the caller has checked that they lie below `limit`,
    // the number of bytes the source is known to hold.
    bool Read(uint64_t offset, uint8_t* out, size_t length, uint64_t limit) {
        // Inline for the most common copy: a short one from the block the last copy used.
        if (recent_ && offset / kBlockSize == recent_->block &&
            offset % kBlockSize + length <= recent_->length) {
            std::memcpy(out, BytesOf(recent_) + offset % kBlockSize, length);
            recent_->lastUse = ++uses_;
            return true;
        }
        return ReadThroughCache(offset, out, length, limit);
    }
    // Forgets the cached blocks (the source may have grown).
    void Invalidate();

private:
    struct Slot {
        uint64_t block = 0; // offset / kBlockSize
        size_t length = 0;  // 0: holds nothing
        uint64_t lastUse = 0;
        std::unique_ptr<uint8_t[]> bytes; // kBlockSize, allocated at the slot's first load
    };

    bool ReadThroughCache(uint64_t offset, uint8_t* out, size_t length, uint64_t limit);
    // The slot holding the block, loaded when it is not cached; null when the read fails.
    Slot* Lookup(uint64_t block, uint64_t limit);
    static uint8_t* BytesOf(const Slot* slot) { return slot->bytes.get(); }

    Source* source_;
    std::vector<Slot> slots_;
    Slot* recent_ = nullptr; // the slot of the last short copy
    uint64_t uses_ = 0;
};

} // namespace plumbing
