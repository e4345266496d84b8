#include "StreamChoice.h"

#include "StreamEncoder.h"

#include <algorithm>

namespace blockdiff {
namespace {

constexpr coders::Coder kFastestFirst[] = {coders::Coder::Store, coders::Coder::Zstd,
                                           coders::Coder::Deflate, coders::Coder::Xz};

} // namespace

bool SmallEnoughToPrefer(size_t size, size_t best) {
    return size <= best || size - best <= best / 64 + 32;
}

bool ChooseCoder(const std::vector<uint8_t>& raw, CoderSet allowed, StoredStream& chosen) {
    chosen = StoredStream{coders::Coder::Store, static_cast<uint32_t>(raw.size()), {}};
    // Compressed candidates in the order of kFastestFirst; a stream that does not shrink
    // is no candidate.
    std::vector<StoredStream> candidates;
    size_t best = raw.size();
    for (const coders::Coder coder : kFastestFirst) {
        if (raw.empty() || coder == coders::Coder::Store || !(allowed & CoderBit(coder))) {
            continue;
        }
        StoredStream candidate{coder, chosen.rawSize, {}};
        if (!coders::Encode(coder, raw.data(), raw.size(), candidate.bytes)) {
            return false;
        }
        if (candidate.bytes.size() < raw.size()) {
            best = std::min(best, candidate.bytes.size());
            candidates.push_back(std::move(candidate));
        }
    }
    if (SmallEnoughToPrefer(raw.size(), best)) {
        chosen.bytes = raw;
        return true;
    }
    for (StoredStream& candidate : candidates) {
        if (SmallEnoughToPrefer(candidate.bytes.size(), best)) {
            chosen = std::move(candidate);
            break;
        }
    }
    return true;
}

} // namespace blockdiff
