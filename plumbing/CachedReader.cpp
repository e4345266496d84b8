#include "CachedReader.h"

#include <algorithm>
#include <cstring>

namespace plumbing {

bool CachedReader::ReadThroughCache(uint64_t offset, uint8_t* out, size_t length, uint64_t limit) {
    if (length >= kBlockSize) {
        return source_->Read(offset, out, length);
    }
    while (length > 0) {
        Slot* slot = Lookup(offset / kBlockSize, limit);
        if (!slot) {
            return false;
        }
        const size_t skip = static_cast<size_t>(offset % kBlockSize);
        if (skip >= slot->length) {
            return false; // the caller's limit said otherwise; never read past the block
        }
        const size_t n = std::min(length, slot->length - skip);
        std::memcpy(out, BytesOf(slot) + skip, n);
        recent_ = slot;
        out += n;
        offset += n;
        length -= n;
    }
    return true;
}

void CachedReader::Invalidate() {
    recent_ = nullptr;
    for (Slot& slot : slots_) {
        slot.length = 0;
    }
}

CachedReader::Slot* CachedReader::Lookup(uint64_t block, uint64_t limit) {
    if (slots_.empty()) {
        slots_.resize(kBlockCount);
    }
    Slot* set = &slots_[(block % kSets) * kWays];
    Slot* victim = set;
    for (Slot* slot = set; slot != set + kWays; ++slot) {
        if (slot->length != 0 && slot->block == block) {
            slot->lastUse = ++uses_;
            return slot;
        }
        // An empty way first, else the least recently used.
        if (victim->length != 0 && (slot->length == 0 || slot->lastUse < victim->lastUse)) {
            victim = slot;
        }
    }
    const uint64_t start = block * kBlockSize;
    if (start >= limit) {
        return nullptr;
    }
    victim->length = 0;
    if (!victim->bytes) {
        victim->bytes.reset(new uint8_t[kBlockSize]); // no zero fill: the read overwrites it
    }
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kBlockSize, limit - start));
    if (!source_->Read(start, BytesOf(victim), length)) {
        return nullptr;
    }
    victim->block = block;
    victim->length = length;
    victim->lastUse = ++uses_;
    return victim;
}

} // namespace plumbing
