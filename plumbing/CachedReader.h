#pragma once
#include "BuildSizes.h"
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

namespace plumbing {

// Reads the old file on demand through cached blocks for the copies of a delta (VCDIFF's
// COPY instructions, the block format's covers), so that the many short copies of a typical
// delta do not each become a read call, while long copies are read
// straight into place. Deltas of moved code alternate between many places in the old file,
// each used for a few hundred bytes before the next: small blocks keep the bytes read per
// copy low, and many of them keep each place loaded. Any block may go in any slot (a hash
// index finds it), so copies cycling over up to kBlockCount places, wherever they lie, all
// hit; the least recently used slot is the one reloaded. Memory: at most kBlockCount blocks
// of kBlockSize (2 MiB), each taken when a copy first needs it, so a small source or a delta
// of few copies costs little; the whole source is never held.
//
// Hostile deltas can still make every short copy miss (copies cycling over more blocks than
// the cache holds, or scattered over a large file), and loading a block per byte delivered
// would turn a small delta into hours of reads. So the bytes loaded are held to kLoadFactor
// times the bytes delivered plus kFreeLoad; a miss that would break that reads the copy's own
// bytes alone and leaves the cache as it is, so the blocks that do serve copies stay loaded.
class CachedReader {
public:
    static constexpr size_t kBlockSize = quill::SizeFor<size_t>(8 * 1024, 256);
    static constexpr size_t kBlockCount = quill::SizeFor<size_t>(256, 8);
    // The bytes a reader may load from the source at most: kLoadFactor * delivered + kFreeLoad.
    static constexpr uint64_t kLoadFactor = 4;
    static constexpr uint64_t kFreeLoad = uint64_t{kBlockCount} * kBlockSize;

    explicit CachedReader(Source* source) : source_(source) {}

    // Reads `length` bytes at `offset`; the caller has checked that they lie below `limit`,
    // the number of bytes the source is known to hold.
    bool Read(uint64_t offset, uint8_t* out, size_t length, uint64_t limit) {
        // Inline for the most common copy: a short one from the block the last copy used.
        if (recent_ && offset / kBlockSize == recent_->block &&
            offset % kBlockSize + length <= recent_->length) {
            std::memcpy(out, BytesOf(recent_) + offset % kBlockSize, length);
            recent_->lastUse = ++uses_;
            delivered_ += length;
            return true;
        }
        return ReadThroughCache(offset, out, length, limit);
    }
    // Forgets the cached blocks (the source may have grown).
    void Invalidate();

    uint64_t bytesDelivered() const { return delivered_; }
    uint64_t bytesLoaded() const { return loaded_; }

private:
    struct Slot {
        uint64_t block = 0; // offset / kBlockSize
        size_t length = 0;  // 0: holds nothing
        uint64_t lastUse = 0;
        std::unique_ptr<uint8_t[]> bytes; // kBlockSize, allocated at the slot's first load
    };

    bool ReadThroughCache(uint64_t offset, uint8_t* out, size_t length, uint64_t limit);
    // The slot holding the block, loaded when it is not cached and the budget allows; null
    // when it is not cached and may not be loaded (`refused`), or when the read fails.
    Slot* Lookup(uint64_t block, uint64_t limit, bool& refused);
    Slot* Load(Slot* victim, uint64_t block, size_t length);
    // An empty slot, else the least recently used; taken out of the index.
    Slot* Victim();
    bool MayLoad(uint64_t bytes) const {
        return loaded_ + bytes <= kLoadFactor * delivered_ + kFreeLoad;
    }
    bool ReadDirect(uint64_t offset, uint8_t* out, size_t length);
    static uint8_t* BytesOf(const Slot* slot) { return slot->bytes.get(); }

    Source* source_;
    std::vector<Slot> slots_;
    std::unordered_map<uint64_t, Slot*> index_; // block -> the slot holding it
    Slot* recent_ = nullptr;                    // the slot of the last short copy
    uint64_t uses_ = 0;
    uint64_t delivered_ = 0; // bytes handed to callers
    uint64_t loaded_ = 0;    // bytes read from the source
};

} // namespace plumbing
