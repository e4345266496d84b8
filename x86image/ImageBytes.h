#pragma once
#include "ParsePacer.h"
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace x86image {

// Little-endian fields of the image, read through a few windows so that walking a table costs
// one source read per window rather than one per field. Every read is checked against the
// size: false when the field is not wholly in the image or the source fails.
//
// The walks jump between tables (import descriptors and the thunk arrays they name, far
// apart), so the windows are aligned to their size and the least recently used is the one
// reloaded: alternating between a few places reloads nothing. A hostile image can still
// name more places than there are windows; the bytes loaded are capped at kLoadsPerByte
// times the image plus the windows' own size, past which every read fails as refused.
//
// A failed source read, a stop from the pacer and the load cap are final: no later read
// touches the source, so a walk that goes on after one costs nothing and finds nothing.
class ImageBytes {
public:
    static constexpr size_t kWindowBytes = 64 * 1024;
    static constexpr size_t kWindows = 4;
    static constexpr uint64_t kLoadsPerByte = 8;

    // Why reads fail for good.
    enum class State { Reading, ReadFailed, Stopped, ReadTooOften };

    ImageBytes(plumbing::Source& source, ParsePacer& pacer);

    uint64_t Size() const { return size_; }
    // True when [offset, offset + length) lies in the image; cannot overflow.
    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    bool U8(uint64_t offset, uint8_t& value);
    bool U16(uint64_t offset, uint16_t& value);
    bool U32(uint64_t offset, uint32_t& value);
    bool U64(uint64_t offset, uint64_t& value);

    State state() const { return pacer_.stopped() ? State::Stopped : state_; }
    uint64_t bytesLoaded() const { return loaded_; }

private:
    struct Window {
        uint64_t start = 0;
        size_t length = 0; // 0: holds nothing
        uint64_t lastUse = 0;
        std::vector<uint8_t> bytes;
    };

    // The `length` (at most 8) bytes at `offset`, from one window or copied from two.
    const uint8_t* Field(uint64_t offset, size_t length);
    template <typename Value> bool ReadField(uint64_t offset, Value& value);
    // The window holding the byte at `offset`, loaded when no window holds it.
    const Window* WindowAt(uint64_t offset);
    bool Load(Window& window, uint64_t start);

    plumbing::Source& source_;
    ParsePacer& pacer_;
    uint64_t size_;
    State state_ = State::Reading;
    std::vector<Window> windows_;
    const Window* recent_ = nullptr; // the window of the last field
    uint64_t uses_ = 0;
    uint64_t loaded_ = 0;
    uint8_t straddling_[8] = {};
};

} // namespace x86image
