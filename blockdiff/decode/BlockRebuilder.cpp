#include "BlockRebuilder.h"

#include "CoverCoding.h"
#include "Differences.h"

#include <algorithm>
#include <cstring>

namespace blockdiff {
namespace {

// A long cover is copied in pieces, so that the old file's reads tick too. No larger than a
// tick's work: the first block reads into fresh memory, and where a page fault is slow (in
// virtual machines) a megabyte of them took 9 ms.
constexpr size_t kCopyPiece = WorkPacer::kTickBytes;

class Rebuild {
public:
    Rebuild(const BlockHeader& header, const BlockStreams& streams, const RebuildSource& source,
            uint8_t* out, WorkPacer& pacer, uint64_t at, Failure& failure)
        : header_(header), streams_(streams), old_(source.old), oldSize_(source.oldSize),
          predictor_(source.predictor), blockStart_(source.blockStart), out_(out), pacer_(pacer),
          at_(at), failure_(failure), literalsSize_(header.streams[format::kLiterals].rawSize),
          differencesSize_(header.streams[format::kDifferences].rawSize),
          sparse_(streams.positions, header.streams[format::kPositions].rawSize,
                  streams.differences,
                  header.form == format::DifferenceForm::Sparse ? differencesSize_ : 0) {}

    bool Run() {
        CoverReader covers(streams_.covers, header_.streams[format::kCovers].rawSize,
                           header_.outputSize, oldSize_);
        Cover cover;
        while (!covers.AtEnd()) {
            const uint32_t before = covers.outputEnd();
            if (!covers.Next(cover, failure_, at_) ||
                !Literals(before, cover.outputStart - before) || !Copy(cover) || !Predict(cover) ||
                !AddDifferences(cover)) {
                return false;
            }
        }
        return Literals(covers.outputEnd(), header_.outputSize - covers.outputEnd()) && CheckEnd();
    }

private:
    bool Literals(uint32_t outputStart, size_t count) {
        PLUMBING_FAIL_IF(count > literalsSize_ - literalsUsed_, failure_, Error::Corrupt,
                         "the block needs more literal bytes than its stream holds", at_);
        std::memcpy(out_ + outputStart, streams_.literals + literalsUsed_, count);
        literalsUsed_ += count;
        return Advance(count);
    }

    bool Copy(const Cover& cover) {
        for (size_t done = 0; done < cover.length;) {
            const size_t piece = std::min<size_t>(kCopyPiece, cover.length - done);
            PLUMBING_FAIL_IF(
                !old_.Read(cover.oldStart + done, out_ + cover.outputStart + done, piece, oldSize_),
                failure_, Error::SourceReadFailed,
                "reading " + std::to_string(piece) + " bytes at " +
                    std::to_string(cover.oldStart + done),
                at_);
            done += piece;
            if (!Advance(piece)) {
                return false;
            }
        }
        return true;
    }

    // After the whole cover is copied: a displacement found near the end of one piece has its
    // field in the next.
    bool Predict(const Cover& cover) {
        if (!predictor_) {
            return true;
        }
        uint8_t* bytes = out_ + cover.outputStart;
        const uint64_t newStart = blockStart_ + cover.outputStart;
        size_t scan = 0;
        for (size_t done = 0; done < cover.length;) {
            const size_t piece = std::min<size_t>(kCopyPiece, cover.length - done);
            scan = predictor_->Predict(cover.oldStart, newStart, bytes, cover.length, done,
                                       done + piece, scan);
            done += piece;
            if (!Advance(piece)) {
                return false;
            }
        }
        return true;
    }

    // In pieces too: a long cover dense with differences takes milliseconds.
    bool AddDifferences(const Cover& cover) {
        uint8_t* target = out_ + cover.outputStart;
        const bool dense = header_.form == format::DifferenceForm::Dense;
        PLUMBING_FAIL_IF(dense && cover.length > differencesSize_ - covered_, failure_,
                         Error::Corrupt, "the covers need more differences than the stream holds",
                         at_);
        for (size_t done = 0; done < cover.length;) {
            const size_t piece = std::min<size_t>(kCopyPiece, cover.length - done);
            if (dense) {
                AddDense(target + done, streams_.differences + covered_ + done, piece);
            } else {
                PLUMBING_FAIL_IF(!sparse_.ApplyPart(target, covered_, cover.length, done + piece),
                                 failure_, Error::Corrupt, "a malformed sparse difference", at_);
            }
            done += piece;
            if (!Advance(piece)) {
                return false;
            }
        }
        covered_ += cover.length;
        return true;
    }

    bool CheckEnd() {
        PLUMBING_FAIL_IF(literalsUsed_ != literalsSize_, failure_, Error::Corrupt,
                         "the literal stream holds bytes no part of the block uses", at_);
        const bool differencesUsed = header_.form == format::DifferenceForm::Dense
                                         ? covered_ == differencesSize_
                                         : sparse_.Finished();
        PLUMBING_FAIL_IF(!differencesUsed, failure_, Error::Corrupt,
                         "the difference stream does not match the covered bytes", at_);
        return true;
    }

    bool Advance(size_t bytes) {
        PLUMBING_FAIL_IF(!pacer_.Advance(bytes), failure_, Error::Stopped,
                         "while a block was rebuilt", at_);
        return true;
    }

    const BlockHeader& header_;
    const BlockStreams& streams_;
    plumbing::CachedReader& old_;
    uint64_t oldSize_;
    const ReferencePredictor* predictor_;
    uint64_t blockStart_;
    uint8_t* out_;
    WorkPacer& pacer_;
    uint64_t at_;
    Failure& failure_;
    const size_t literalsSize_;
    const size_t differencesSize_;
    size_t literalsUsed_ = 0;
    size_t covered_ = 0;
    SparseDifferences sparse_;
};

} // namespace

bool RebuildBlock(const BlockHeader& header, const BlockStreams& streams,
                  const RebuildSource& source, uint8_t* out, WorkPacer& pacer, uint64_t at,
                  Failure& failure) {
    return Rebuild(header, streams, source, out, pacer, at, failure).Run();
}

} // namespace blockdiff
