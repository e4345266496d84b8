#include "RawBlock.h"

#include "BlockFormat.h"
#include "CoverCoding.h"
#include "Crc32Sum.h"
#include "Varint.h"

#include <algorithm>

namespace blockdiff {
namespace {

// The sparse entries of one cover whose differences are `dense`, continuing after
// `unchanged` covered bytes without an entry: at each differing byte, the word from there
// (cut at the cover's end) as new minus old.
void AppendSparse(const uint8_t* newBytes, const uint8_t* oldBytes, const uint8_t* dense,
                  size_t length, size_t& unchanged, RawBlock& raw) {
    for (size_t i = 0; i < length;) {
        if (dense[i] == 0) {
            ++unchanged;
            ++i;
            continue;
        }
        const size_t width = std::min(format::kSparseWordBytes, length - i);
        uint32_t borrow = 0;
        for (size_t k = 0; k < width; ++k) {
            const uint32_t difference = uint32_t{newBytes[i + k]} - oldBytes[i + k] - borrow;
            raw.sparse.push_back(static_cast<uint8_t>(difference));
            borrow = (difference >> 8) & 1;
        }
        plumbing::AppendVarint(raw.positions, unchanged);
        unchanged = 0;
        i += width;
    }
}

// The old bytes a cover gives, predicted into `scratch` when there is a predictor.
const uint8_t* CoverBytes(const FoundCover& found, const BlockSource& source,
                          std::vector<uint8_t>& scratch) {
    const uint8_t* oldBytes = source.index.text() + found.textPos;
    if (!source.predictor) {
        return oldBytes;
    }
    scratch.assign(oldBytes, oldBytes + found.length);
    source.predictor->PredictCover(source.index.OldOffset(found.textPos),
                                   source.sliceStart + found.newPos, scratch.data(), found.length);
    return scratch.data();
}

} // namespace

RawBlock BuildRawBlock(const BlockPlan& plan, const BlockSource& source) {
    const uint8_t* newData = source.newData;
    RawBlock raw;
    raw.outputSize = static_cast<uint32_t>(plan.end - plan.begin);
    raw.outputCrc = plumbing::UpdateCrc32(0, newData + plan.begin, raw.outputSize);
    raw.predicted = source.predictor != nullptr;
    size_t newPos = plan.begin;
    uint64_t oldEnd = 0;
    size_t unchanged = 0;
    std::vector<uint8_t> scratch;
    for (const FoundCover& found : plan.covers) {
        raw.literals.insert(raw.literals.end(), newData + newPos, newData + found.newPos);
        const Cover cover{static_cast<uint32_t>(found.newPos - plan.begin),
                          source.index.OldOffset(found.textPos),
                          static_cast<uint32_t>(found.length)};
        AppendCoverRecord(raw.covers, cover, static_cast<uint32_t>(newPos - plan.begin), oldEnd);
        const uint8_t* oldBytes = CoverBytes(found, source, scratch);
        const uint8_t* newBytes = newData + found.newPos;
        const size_t denseStart = raw.dense.size();
        for (size_t i = 0; i < found.length; ++i) {
            raw.dense.push_back(static_cast<uint8_t>(newBytes[i] - oldBytes[i]));
        }
        AppendSparse(newBytes, oldBytes, raw.dense.data() + denseStart, found.length, unchanged,
                     raw);
        newPos = found.newPos + found.length;
        oldEnd = cover.oldStart + cover.length;
        raw.coveredBytes += found.length;
    }
    raw.literals.insert(raw.literals.end(), newData + newPos, newData + plan.end);
    raw.sparseFits = raw.positions.size() + raw.sparse.size() <= raw.dense.size();
    if (!raw.sparseFits) {
        std::vector<uint8_t>().swap(raw.positions);
        std::vector<uint8_t>().swap(raw.sparse);
    }
    return raw;
}

uint64_t DifferingBytes(const BlockPlan& plan, const BlockSource& source) {
    uint64_t differing = 0;
    std::vector<uint8_t> scratch;
    for (const FoundCover& found : plan.covers) {
        const uint8_t* oldBytes = CoverBytes(found, source, scratch);
        const uint8_t* newBytes = source.newData + found.newPos;
        for (size_t i = 0; i < found.length; ++i) {
            differing += newBytes[i] != oldBytes[i];
        }
    }
    return differing;
}

} // namespace blockdiff
