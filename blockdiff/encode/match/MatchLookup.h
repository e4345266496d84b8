#pragma once
#include <cstddef>
#include <cstdint>

namespace blockdiff {

// A string of the new file found in the old text: where, and for how many bytes.
struct TextMatch {
    size_t textPos = 0;
    size_t length = 0;
};

// How the cover finder asks for a match of the bytes ahead: the suffix index answers with the
// longest there is, the anchor table cheaply with a long one where there is one.
class MatchLookup {
public:
    virtual ~MatchLookup() = default;
    // A match of a prefix of `pattern` (of `length` bytes), cut at the end of the region of
    // the text it starts in; length 0 for none.
    virtual TextMatch Longest(const uint8_t* pattern, size_t length) const = 0;
};

} // namespace blockdiff
