#pragma once
#include "Token.h"

#include <cstdint>

namespace deflatestream {

// Where the writer takes a stream's literals and matches from, block by block: a parse's
// own streams, or a prediction and its corrections. Each call that fails has said why.
class TokenSource {
public:
    virtual ~TokenSource() = default;
    // The count of literals before the block's next match, or before its end when
    // `blockEnd`.
    virtual bool Run(bool blockEnd, uint64_t& literals) = 0;
    // The match after the run just given: a length of 3 to 258 and a distance of 1 to
    // 32,768 (the writer checks it against the content so far).
    virtual bool Match(Token& match) = 0;
    // The next `length` bytes of content go in a stored block.
    virtual bool Stored(uint64_t length) = 0;
    // Whether every token was used: what is left over is damage.
    virtual bool Finished() = 0;
};

} // namespace deflatestream
