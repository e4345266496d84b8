#pragma once
#include <cstdint>

namespace deflatestream {

// One symbol of a deflate stream's content: a literal (length 0) or a match.
struct Token {
    uint16_t length = 0;
    uint16_t distance = 0;
    bool IsLiteral() const { return length == 0; }
    // The content bytes it stands for.
    unsigned Covers() const { return IsLiteral() ? 1 : length; }
};

inline bool operator==(const Token& a, const Token& b) {
    return a.length == b.length && a.distance == b.distance;
}
inline bool operator!=(const Token& a, const Token& b) {
    return !(a == b);
}

} // namespace deflatestream
