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

// How a parse ended.
enum class ParseResult {
    Parsed,
    Refused,     // no supported image, or a cap exceeded: `why` says which
    ReadFailed,  // the source failed a read; nothing was read after it
    Stopped,     // the pause asked to stop
    OutOfMemory, // within the caps, but the machine had not the memory
};

// The most memory a parse holds, whatever the image says. The three lists hold at most
// kMaxReferences fields of 4 bytes (16 MiB) and, grown by doubling, reserve at most twice
// that, with one list's old buffer beside them while it grows, or one sort's second list
// while they are sorted: 48 MiB. Beside them: an ELF image's section headers (65,535 of 48
// bytes, 3 MiB), the call-frame tables' CIEs (65,536 of 16 bytes, 3 MiB grown), the windows
// (4 of 64 KiB) and the layout (at most kMaxSections sections). 55 MiB in all; a predicted
// payload keeps only the fields its predictor uses of them, see blockdiff/decode/BlockDecoder.h.
constexpr uint64_t kMaxParseMemory = 55u << 20;

// Reads a PE32 (i386), ELF32 (i386) or ELF64 (x86-64) little-endian image. Anything but
// Parsed leaves `out` empty; `why` says what was refused. Never throws; the same bytes give
// the same result on every platform. `pause`, when given, is called after every 256 KiB or
// so of the parse's work (ParsePacer), so that a caller can keep its window answering while a
// large library is read; its first false stops the parse as Stopped.
ParseResult ParseImage(plumbing::Source& image, ImageReferences& out, std::string& why,
                       const std::function<bool()>& pause = {});

} // namespace x86image
