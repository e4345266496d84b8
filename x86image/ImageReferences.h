#pragma once
// The fields of an executable image that hold addresses: what a delta codec can predict when
// code moves between an old and a new build of the same program.
#include "ImageLayout.h"
#include "Source.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace x86image {

struct ImageReferences {
    ImageLayout layout;
    // File offsets of 4-byte little-endian fields holding an absolute address (value =
    // imageBase + address): sorted ascending, each wholly inside the file, no two overlapping.
    std::vector<uint32_t> absolute;
    // File offsets of 4-byte fields holding an address without the image base (the RVAs of
    // PE tables; ELF has no image base and lists everything in `absolute`). Same invariants,
    // and none overlaps a field of `absolute`.
    std::vector<uint32_t> relativeToBase;
    // File offsets of 4-byte signed fields holding an address as its distance from the
    // field's own address (the code addresses of the call-frame tables). Same invariants, and
    // none overlaps a field of the other lists.
    std::vector<uint32_t> pcRelative;
};

// Images larger than this are not parsed; so every file offset fits in 32 bits.
constexpr uint64_t kMaxImageSize = 256u << 20;
// More fields than this in the lists together: not parsed (the lists stay within 16 MiB).
constexpr size_t kMaxReferences = 4u << 20;
// More table entries (relocations, symbols, thunks) than this walked in all: not parsed, so
// that tables claimed many times over cost bounded time.
constexpr uint64_t kMaxTableEntries = 16u << 20;

// Reads a PE32 (i386), ELF32 (i386) or ELF64 (x86-64) little-endian image. False, with `out`
// empty and `why` saying what, when the bytes are no supported image or a cap is exceeded.
// Never throws; the same bytes give the same result on every platform. `between`, when
// given, is called every 65,536 fields found and between the sorts of the lists, so that a
// caller can keep its window answering while a large library is read.
bool ParseImage(plumbing::Source& image, ImageReferences& out, std::string& why,
                const std::function<void()>& between = {});

} // namespace x86image
