#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace deflatestream {

// Everything a raw deflate stream says beyond its content, so that the writer rebuilds the
// stream bit for bit from this and the content. The content's bytes are not in here: a
// patch carries a delta of the contents and the parse beside it. Each kind of number has a
// stream of its own, for a block coder to find each one's statistics uniform.
//
// blocks, per block:
//   one byte: bit 0 the final flag, bits 1-2 the block type;
//   stored:  the bits skipped to the byte boundary (one byte), LEN (varint); NLEN is
//            always ~LEN, since a stream that says otherwise is refused;
//   fixed:   the number of matches (varint);
//   dynamic: the number of matches (varint), HLIT - 257, HDIST - 1, HCLEN - 4 (one byte
//            each), the HCLEN + 4 code-length code lengths in the order sent (one byte
//            each), then the code-length symbols as sent (one byte each, 16, 17 and 18
//            followed by a byte of their extra bits) until HLIT + HDIST lengths are given;
//   after the final block: the bits that pad its last byte (one byte).
// A fixed or dynamic block of n matches holds n + 1 runs of literals, the first before the
// first match and the last before the end of the block:
//   literalRuns: the run lengths (varint each), for all blocks in order;
//   lengths:     per match its length - 3 (one byte);
//   distances:   per match its distance - 1 (varint);
//   longLengths: the matches of length 258 spelt as symbol 284 with extra bits 31, as
//                varints of the gap in matches since the previous such one (the first's
//                gap counts from match 0).
struct DeflateParse {
    std::vector<uint8_t> blocks;
    std::vector<uint8_t> literalRuns;
    std::vector<uint8_t> lengths;
    std::vector<uint8_t> distances;
    std::vector<uint8_t> longLengths;
    uint64_t contentBytes = 0;
    // The stream's length in bytes: the final block's last bit rounded up to a byte.
    uint64_t streamBytes = 0;
};

bool operator==(const DeflateParse& a, const DeflateParse& b);

// One byte string of the parse: the two sizes and the five streams' lengths (varints), then
// the streams. DeserializeParse reads it back and refuses what SerializeParse cannot have written.
std::vector<uint8_t> SerializeParse(const DeflateParse& parse);
bool DeserializeParse(const uint8_t* data, size_t size, DeflateParse& parse);

} // namespace deflatestream
