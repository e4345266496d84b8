#pragma once
#include <cstddef>

namespace quill {

// The text of an enumerator, from a table indexed by the enum's values, which run without a
// gap from 0 to `Last`: a table with a text missing or one too many does not compile. A value
// outside the table (only a cast of a damaged byte can make one) gets `unknown`.
template <auto Last, size_t N>
constexpr const char* TextOf(const char* const (&texts)[N], decltype(Last) value,
                             const char* unknown) {
    static_assert(static_cast<size_t>(Last) + 1 == N, "one text for each enumerator");
    const auto index = static_cast<size_t>(value);
    return index < N ? texts[index] : unknown;
}

} // namespace quill
