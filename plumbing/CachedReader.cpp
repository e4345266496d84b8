#include "CachedReader.h"

#include <algorithm>
#include <cstring>

namespace plumbing {

bool CachedReader::ReadThroughCache(uint64_t offset, uint8_t* out, size_t length, uint64_t limit) {
    delivered_ += length;
    if (length >= kBlockSize) {
        return ReadDirect(offset, out, length);
    }
    while (length > 0) {
        bool refused = false;
        Slot* slot = Lookup(offset / kBlockSize, limit, refused);
        if (refused) {
            return ReadDirect(offset, out, length);
        }
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

bool CachedReader::ReadDirect(uint64_t offset, uint8_t* out, size_t length) {
    loaded_ += length;
    return source_->Read(offset, out, length);
}

void CachedReader::Invalidate() {
    recent_ = nullptr;
    index_.clear();
    for (Slot& slot : slots_) {
        slot.length = 0;
    }
}

CachedReader::Slot* CachedReader::Lookup(uint64_t block, uint64_t limit, bool& refused) {
    const auto found = index_.find(block);
    if (found != index_.end()) {
        found->second->lastUse = ++uses_;
        return found->second;
    }
    const uint64_t start = block * kBlockSize;
    if (start >= limit) {
        return nullptr;
    }
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kBlockSize, limit - start));
    if (!MayLoad(length)) {
        refused = true;
        return nullptr;
    }
    return Load(Victim(), block, length);
}

CachedReader::Slot* CachedReader::Victim() {
    if (slots_.empty()) {
        slots_.resize(kBlockCount);
        index_.reserve(kBlockCount);
    }
    Slot* victim = &slots_.front();
    for (Slot& slot : slots_) {
        if (slot.length == 0) {
            return &slot;
        }
        if (slot.lastUse < victim->lastUse) {
            victim = &slot;
        }
    }
    index_.erase(victim->block);
    if (recent_ == victim) {
        recent_ = nullptr;
    }
    return victim;
}

CachedReader::Slot* CachedReader::Load(Slot* victim, uint64_t block, size_t length) {
    victim->length = 0;
    if (!victim->bytes) {
        victim->bytes.reset(new uint8_t[kBlockSize]); // no zero fill: the read overwrites it
    }
    loaded_ += length;
    if (!source_->Read(block * kBlockSize, BytesOf(victim), length)) {
        return nullptr;
    }
    victim->block = block;
    victim->length = length;
    victim->lastUse = ++uses_;
    index_.emplace(block, victim);
    return victim;
}

} // namespace plumbing
