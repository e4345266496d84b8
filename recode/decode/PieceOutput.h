#pragma once
#include "Sink.h"
#include "Source.h"
#include "StreamTables.h"
#include "Streams.h"
#include "Tick.h"

#include <cstdint>

namespace recode {

// Takes a rebuilt stream's compressed bytes and writes them to the result in its pieces,
// each gap between two pieces copied from the expanded new file (where the gaps follow the
// stream's content) as the next piece begins. Bytes beyond the pieces are refused.
class PieceOutput final : public deflatestream::ByteOutput {
public:
    PieceOutput(const Piece* pieces, uint32_t count, plumbing::Source& gaps, uint64_t gapOffset,
                plumbing::Sink& result, const plumbing::Tick& tick);

    bool Write(const uint8_t* data, size_t size) override;
    // Whether every piece was filled.
    bool Complete() const { return piece_ == count_; }

    enum class Fault { None, TooLong, GapReadFailed, ResultRefused, Stopped };
    Fault fault() const { return fault_; }

private:
    bool Fail(Fault fault) {
        fault_ = fault;
        return false;
    }
    bool NextPiece();

    const Piece* pieces_;
    uint32_t count_;
    plumbing::Source& gaps_;
    uint64_t gapOffset_;
    plumbing::Sink& result_;
    const plumbing::Tick& tick_;
    uint32_t piece_ = 0;
    uint64_t left_; // of the current piece
    Fault fault_ = Fault::None;
};

} // namespace recode
