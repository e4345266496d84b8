#include "BlockCompressor.h"

namespace blockdiff {
namespace {

// Whether the dense form is worth compressing as well: only when the sparse streams are at
// least half as long as it. Below that the sparse form was always the smaller on the files
// measured, and compressing the dense bytes is most of the encoder's time.
bool DenseWorthTrying(const RawBlock& raw) {
    return !raw.sparseFits || raw.positions.size() + raw.sparse.size() >= raw.dense.size() / 2;
}

// Fills the positions and differences streams of the block with the form chosen.
bool ChooseDifferences(const RawBlock& raw, CoderSet allowed, format::DifferenceForm& form,
                       StoredStream* streams) {
    StoredStream dense;
    const bool tryDense = DenseWorthTrying(raw);
    if (tryDense && !ChooseCoder(raw.dense, allowed, dense)) {
        return false;
    }
    if (raw.sparseFits) {
        StoredStream positions;
        StoredStream sparse;
        if (!ChooseCoder(raw.positions, allowed, positions) ||
            !ChooseCoder(raw.sparse, allowed, sparse)) {
            return false;
        }
        if (!tryDense ||
            SmallEnoughToPrefer(positions.bytes.size() + sparse.bytes.size(), dense.bytes.size())) {
            form = format::DifferenceForm::Sparse;
            streams[format::kPositions] = std::move(positions);
            streams[format::kDifferences] = std::move(sparse);
            return true;
        }
    }
    form = format::DifferenceForm::Dense;
    streams[format::kPositions] = StoredStream();
    streams[format::kDifferences] = std::move(dense);
    return true;
}

} // namespace

bool CompressBlock(const RawBlock& raw, CoderSet allowed, EncodedBlock& block) {
    StoredStream streams[format::kStreamCount];
    block.header.outputSize = raw.outputSize;
    block.header.outputCrc = raw.outputCrc;
    block.header.predicted = raw.predicted;
    if (!ChooseCoder(raw.covers, allowed, streams[format::kCovers]) ||
        !ChooseDifferences(raw, allowed, block.header.form, streams) ||
        !ChooseCoder(raw.literals, allowed, streams[format::kLiterals])) {
        return false;
    }
    block.bytes.clear();
    for (size_t i = 0; i < format::kStreamCount; ++i) {
        block.header.streams[i] = {streams[i].coder, streams[i].rawSize,
                                   static_cast<uint32_t>(streams[i].bytes.size())};
    }
    AppendBlockHeader(block.header, block.bytes);
    for (const StoredStream& stream : streams) {
        block.bytes.insert(block.bytes.end(), stream.bytes.begin(), stream.bytes.end());
    }
    return true;
}

} // namespace blockdiff
