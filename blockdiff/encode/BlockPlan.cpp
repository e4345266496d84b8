#include "BlockPlan.h"

#include "BlockFormat.h"
#include "CoverCoding.h"

#include <algorithm>

namespace blockdiff {
namespace {

class Planner {
public:
    Planner(const SuffixIndex& index, size_t length) : index_(index), length_(length) { Open(0); }

    void Add(FoundCover cover) {
        while (cover.length > 0) {
            if (cover.newPos >= block_.end) {
                Close(block_.end);
                continue;
            }
            const size_t piece = std::min(cover.length, block_.end - cover.newPos);
            const size_t bytes = RecordBytes(cover, piece);
            if (recordBytes_ + bytes > format::kMaxCoverBytes) {
                Close(cover.newPos);
                continue;
            }
            recordBytes_ += bytes;
            block_.covers.push_back({cover.newPos, cover.textPos, piece});
            outputEnd_ = cover.newPos + piece;
            oldEnd_ = index_.OldOffset(cover.textPos) + piece;
            cover.newPos += piece;
            cover.textPos += piece;
            cover.length -= piece;
        }
    }

    std::vector<BlockPlan> Finish() {
        while (block_.begin < length_) {
            Close(block_.end);
        }
        return std::move(plans_);
    }

private:
    void Open(size_t begin) {
        block_ = BlockPlan{begin, std::min(length_, begin + format::kMaxBlockOutput), {}};
        recordBytes_ = 0;
        outputEnd_ = begin;
        oldEnd_ = 0;
    }

    void Close(size_t end) {
        block_.end = end;
        plans_.push_back(std::move(block_));
        Open(end);
    }

    size_t RecordBytes(const FoundCover& cover, size_t length) const {
        const Cover record{static_cast<uint32_t>(cover.newPos - block_.begin),
                           index_.OldOffset(cover.textPos), static_cast<uint32_t>(length)};
        return CoverRecordBytes(record, static_cast<uint32_t>(outputEnd_ - block_.begin), oldEnd_);
    }

    const SuffixIndex& index_;
    size_t length_;
    BlockPlan block_;
    size_t recordBytes_ = 0;
    size_t outputEnd_ = 0;
    uint64_t oldEnd_ = 0;
    std::vector<BlockPlan> plans_;
};

} // namespace

std::vector<BlockPlan> PlanBlocks(const std::vector<FoundCover>& covers, size_t length,
                                  const SuffixIndex& index) {
    Planner planner(index, length);
    for (const FoundCover& cover : covers) {
        planner.Add(cover);
    }
    return planner.Finish();
}

} // namespace blockdiff
