#include "RecodeDecoder.h"

#include "BlockDecoder.h"
#include "NewRebuilder.h"
#include "OldExpander.h"
#include "TablesReader.h"

namespace recode {
namespace {

// A range of a source seen as a source of its own: the block delta after the tables.
class RangeSource final : public plumbing::Source {
public:
    RangeSource(plumbing::Source& source, uint64_t start)
        : source_(source), start_(start), size_(source.Size() - start) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > size_ || length > size_ - offset)
            return false;
        return source_.Read(start_ + offset, buffer, length);
    }

private:
    plumbing::Source& source_;
    uint64_t start_;
    uint64_t size_;
};

// The expanded new file as the block decoder writes it, refused beyond its expected size.
class BoundedSink final : public plumbing::Sink {
public:
    BoundedSink(plumbing::Sink& to, uint64_t limit) : to_(to), limit_(limit) {}
    bool Write(const void* data, size_t length) override {
        if (length > limit_ - written_) {
            tooLong_ = true;
            return false;
        }
        written_ += length;
        return to_.Write(data, length);
    }
    uint64_t written() const { return written_; }
    bool tooLong() const { return tooLong_; }

private:
    plumbing::Sink& to_;
    uint64_t limit_;
    uint64_t written_ = 0;
    bool tooLong_ = false;
};

bool DecodeDelta(plumbing::Source& payload, const StreamTables& tables, uint64_t expectedSize,
                 Scratch& expandedOld, Scratch& expandedNew, const plumbing::Tick& tick,
                 Failure& failure, blockdiff::Failure& delta) {
    RangeSource blocks(payload, tables.deltaOffset);
    BoundedSink out(expandedNew, expectedSize);
    if (!blockdiff::Decode(blocks, &expandedOld.Contents(), out, tick, delta)) {
        if (out.tooLong())
            return failure.Set(Error::DeltaFailed,
                               "the delta gives more than the expanded new file",
                               tables.deltaOffset);
        if (delta.error == blockdiff::Error::SinkRefused)
            return failure.Set(Error::ScratchFailed, "the expanded new file", tables.deltaOffset);
        return failure.Set(Error::DeltaFailed, delta.Message(), tables.deltaOffset);
    }
    if (out.written() != expectedSize)
        return failure.Set(Error::DeltaFailed, "the delta gives less than the expanded new file",
                           tables.deltaOffset);
    return expandedNew.Finish() ||
           failure.Set(Error::ScratchFailed, "the expanded new file", tables.deltaOffset);
}

} // namespace

bool Decode(plumbing::Source& payload, plumbing::Source& old, uint64_t newSize,
            Scratch& expandedOld, Scratch& expandedNew, plumbing::Sink& result,
            const plumbing::Tick& tick, Failure& failure, blockdiff::Failure& delta) {
    StreamTables tables;
    if (!ReadTables(payload, old.Size(), newSize, tables, failure) ||
        !ExpandOld(old, tables.old, expandedOld, tick, failure))
        return false;
    if (!expandedOld.Finish())
        return failure.Set(Error::ScratchFailed, "the expanded old file", 0);
    uint64_t expandedSize = ExpandedSize(newSize, tables.newStreams) + tables.parsesInDelta;
    if (!DecodeDelta(payload, tables, expandedSize, expandedOld, expandedNew, tick, failure, delta))
        return false;
    plumbing::Source& parses =
        tables.parseVersion == kParsesInPayload ? payload : expandedNew.Contents();
    return RebuildNew(tables, newSize, parses, old, expandedNew.Contents(), result, tick, failure);
}

} // namespace recode
