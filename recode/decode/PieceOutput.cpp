#include "PieceOutput.h"

#include "CopyRange.h"

#include <algorithm>

namespace recode {

PieceOutput::PieceOutput(const Piece* pieces, uint32_t count, plumbing::Source& gaps,
                         uint64_t gapOffset, plumbing::Sink& result, const plumbing::Tick& tick)
    : pieces_(pieces), count_(count), gaps_(gaps), gapOffset_(gapOffset), result_(result),
      tick_(tick), left_(count > 0 ? pieces[0].length : 0) {}

bool PieceOutput::Write(const uint8_t* data, size_t size) {
    while (size > 0) {
        if (piece_ == count_)
            return Fail(Fault::TooLong);
        size_t count = static_cast<size_t>(std::min<uint64_t>(size, left_));
        if (!result_.Write(data, count))
            return Fail(Fault::ResultRefused);
        data += count;
        size -= count;
        left_ -= count;
        if (left_ == 0 && !NextPiece())
            return false;
    }
    return true;
}

bool PieceOutput::NextPiece() {
    ++piece_;
    if (piece_ == count_)
        return true;
    const Piece& before = pieces_[piece_ - 1];
    uint64_t gap = pieces_[piece_].offset - (before.offset + before.length);
    switch (CopyRange(gaps_, gapOffset_, gap, result_, tick_)) {
    case Moved::Ok:
        break;
    case Moved::ReadFailed:
        return Fail(Fault::GapReadFailed);
    case Moved::WriteRefused:
        return Fail(Fault::ResultRefused);
    case Moved::Stopped:
        return Fail(Fault::Stopped);
    }
    gapOffset_ += gap;
    left_ = pieces_[piece_].length;
    return true;
}

} // namespace recode
