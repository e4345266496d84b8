#pragma once

namespace quill {

// Buffers, output pieces and window limits are chosen for real game files. The fuzz build
// defines QUILL_SMALL_SIZES to shrink them, so that inputs of a few kilobytes reach the code at
// their edges (copies across cache blocks and sets, a window written in several pieces, a
// result flushed in steps) and every run stays quick. Each such size is defined once, where it
// belongs, as SizeFor(normal, small).
template <typename T> constexpr T SizeFor([[maybe_unused]] T normal, [[maybe_unused]] T small) {
#ifdef QUILL_SMALL_SIZES
    return small;
#else
    return normal;
#endif
}

} // namespace quill
