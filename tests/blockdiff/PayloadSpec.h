#pragma once
#include "BlockFormat.h"
#include "BlockTestIo.h"
#include "StreamCoder.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace blockdiff::test {

// A payload written field by field, so that a test can set any field to any value.
struct StreamSpec {
    uint8_t coder = static_cast<uint8_t>(coders::Coder::Store);
    Bytes raw;                          // the stream's bytes when decoded
    Bytes stored;                       // what goes into the payload; for Store, empty means `raw`
    std::optional<uint32_t> rawSize;    // the descriptor's raw size, if not raw.size()
    std::optional<uint32_t> storedSize; // the descriptor's stored size, if not the stored bytes'
};

struct BlockSpec {
    uint32_t outputSize = 0;
    uint32_t crc = 0;
    uint8_t form = static_cast<uint8_t>(format::DifferenceForm::Sparse);
    StreamSpec streams[format::kStreamCount];
};

struct PayloadSpec {
    Bytes magic = Bytes(std::begin(format::kMagic), std::end(format::kMagic));
    uint64_t resultSize = 0;
    std::vector<BlockSpec> blocks;
    Bytes trailing;

    Bytes Serialize() const;
};

// VCDIFF varints back to back, as cover records and positions hold them.
Bytes Varints(std::initializer_list<uint64_t> values);
// The zigzag code of a distance between old offsets.
uint64_t Distance(int64_t distance);
// `raw` compressed with `coder`.
Bytes Compressed(coders::Coder coder, const Bytes& raw);
uint32_t Crc(const Bytes& bytes);

} // namespace blockdiff::test
