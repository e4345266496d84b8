#include "BlockEncoder.h"

#include "BlockCompressor.h"
#include "BlockPlan.h"
#include "CoverFinder.h"
#include "Parallel.h"
#include "PayloadHeader.h"
#include "RawBlock.h"
#include "SuffixIndex.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

namespace blockdiff {
namespace {

// The new file is read, matched and written in segments of this size (whole blocks).
constexpr size_t kSegmentBytes = 64u << 20;
static_assert(kSegmentBytes % format::kMaxBlockOutput == 0, "segments hold whole blocks");
// Files are read in pieces of this size.
constexpr size_t kReadPiece = 8u << 20;

bool ReadRange(vcdiff::Source& source, uint64_t offset, size_t length, std::vector<uint8_t>& out) {
    out.resize(length);
    for (size_t done = 0; done < length;) {
        const size_t piece = std::min(kReadPiece, length - done);
        if (!source.Read(offset + done, out.data() + done, piece)) {
            return false;
        }
        done += piece;
    }
    return true;
}

class EncodeRun {
public:
    EncodeRun(vcdiff::Source* old, vcdiff::Source& newFile, vcdiff::Sink& payload,
              const EncoderOptions& options, const EncodeProgress& progress, EncodeReport& report,
              Failure& failure)
        : old_(old), new_(newFile), payload_(payload), options_(options), progress_(progress),
          report_(report), failure_(failure), oldSize_(old ? old->Size() : 0),
          newSize_(newFile.Size()),
          segments_(static_cast<size_t>((newSize_ + kSegmentBytes - 1) / kSegmentBytes)),
          threads_(UsefulThreads(options.threads)) {}

    bool Run() {
        std::vector<uint8_t> header;
        AppendPayloadHeader(newSize_, header);
        if (!Write(header)) {
            return false;
        }
        std::vector<uint8_t> text;
        if (!ReadOld(0, static_cast<size_t>(oldSize_), text)) {
            return false;
        }
        if (!index_.Build(std::move(text), {{0, 0, static_cast<size_t>(oldSize_)}})) {
            return failure_.Set(Error::OutOfMemory, "for the old file's suffix array", 0);
        }
        std::vector<std::vector<FoundCover>> covers(segments_);
        for (size_t segment = 0; segment < segments_; ++segment) {
            if (!MatchSegment(segment, covers[segment])) {
                return false;
            }
        }
        index_.DropSuffixes();
        for (size_t segment = 0; segment < segments_; ++segment) {
            if (!WriteSegment(segment, covers[segment])) {
                return false;
            }
            std::vector<FoundCover>().swap(covers[segment]);
        }
        return true;
    }

private:
    uint64_t SegmentStart(size_t segment) const { return uint64_t{segment} * kSegmentBytes; }
    size_t SegmentLength(size_t segment) const {
        return static_cast<size_t>(
            std::min<uint64_t>(kSegmentBytes, newSize_ - SegmentStart(segment)));
    }

    bool ReadOld(uint64_t offset, size_t length, std::vector<uint8_t>& out) {
        try {
            BLOCKDIFF_FAIL_IF(length > 0 && !ReadRange(*old_, offset, length, out), failure_,
                              Error::SourceReadFailed, "reading the old file", 0);
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, "for the old file", 0);
        }
        return true;
    }

    bool ReadSegment(size_t segment) {
        try {
            BLOCKDIFF_FAIL_IF(
                !ReadRange(new_, SegmentStart(segment), SegmentLength(segment), segment_), failure_,
                Error::SourceReadFailed, "reading the new file", 0);
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, "for the new file", 0);
        }
        return true;
    }

    // Matches the segment in as many parts as there are threads, each part starting at the
    // alignment an unchanged file would have.
    bool MatchSegment(size_t segment, std::vector<FoundCover>& covers) {
        if (!ReadSegment(segment)) {
            return false;
        }
        const size_t length = segment_.size();
        const size_t parts = std::max<size_t>(1, std::min<size_t>(threads_, length >> 20));
        std::vector<std::vector<FoundCover>> found(parts);
        std::atomic<bool> outOfMemory{false};
        RunTasks(parts, threads_, [&](size_t part) {
            const size_t begin = length / parts * part;
            const size_t end = part + 1 == parts ? length : length / parts * (part + 1);
            const uint64_t sameOffset = SegmentStart(segment) + begin;
            const size_t startText =
                sameOffset < index_.size() ? static_cast<size_t>(sameOffset) : SIZE_MAX;
            try {
                found[part] =
                    FindCovers(index_, segment_.data(), begin, end, startText, options_.model);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            }
        });
        if (outOfMemory) {
            return failure_.Set(Error::OutOfMemory, "while matching", 0);
        }
        for (std::vector<FoundCover>& part : found) {
            covers.insert(covers.end(), part.begin(), part.end());
        }
        return Progress(SegmentStart(segment) + length);
    }

    bool WriteSegment(size_t segment, const std::vector<FoundCover>& covers) {
        if (!ReadSegment(segment)) {
            return false;
        }
        const std::vector<BlockPlan> plans = PlanBlocks(covers, segment_.size(), index_);
        std::vector<EncodedBlock> blocks(plans.size());
        std::atomic<bool> outOfMemory{false};
        RunTasks(plans.size(), threads_, [&](size_t i) {
            try {
                const RawBlock raw = BuildRawBlock(plans[i], segment_.data(), index_);
                if (!CompressBlock(raw, options_.coders, blocks[i])) {
                    outOfMemory = true;
                }
                Count(raw, plans[i]);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            }
        });
        if (outOfMemory) {
            return failure_.Set(Error::OutOfMemory, "while compressing", 0);
        }
        for (EncodedBlock& block : blocks) {
            Count(block);
            if (!Write(block.bytes)) {
                return false;
            }
            std::vector<uint8_t>().swap(block.bytes);
        }
        return Progress(newSize_ + SegmentStart(segment) + segment_.size());
    }

    // The raw sizes of a block, counted on the thread that built it.
    void Count(const RawBlock& raw, const BlockPlan& plan) {
        rawCovers_ += plan.covers.size();
        rawCovered_ += raw.coveredBytes;
    }

    void Count(const EncodedBlock& block) {
        ++report_.blocks;
        report_.denseBlocks += block.header.form == format::DifferenceForm::Dense;
        for (size_t i = 0; i < format::kStreamCount; ++i) {
            const StreamDescriptor& stream = block.header.streams[i];
            EncodeReport::Stream& total = report_.streams[i];
            total.rawBytes += stream.rawSize;
            total.storedBytes += stream.storedSize;
            ++total.blocksByCoder[static_cast<size_t>(stream.coder)];
        }
        report_.covers = rawCovers_;
        report_.coveredBytes = rawCovered_;
    }

    bool Write(const std::vector<uint8_t>& bytes) {
        BLOCKDIFF_FAIL_IF(!payload_.Write(bytes.data(), bytes.size()), failure_, Error::SinkRefused,
                          "writing the payload", report_.payloadBytes);
        report_.payloadBytes += bytes.size();
        return true;
    }

    bool Progress(uint64_t done) {
        BLOCKDIFF_FAIL_IF(progress_ && !progress_(done, 2 * newSize_), failure_, Error::Stopped,
                          "while encoding", report_.payloadBytes);
        return true;
    }

    vcdiff::Source* old_;
    vcdiff::Source& new_;
    vcdiff::Sink& payload_;
    const EncoderOptions& options_;
    const EncodeProgress& progress_;
    EncodeReport& report_;
    Failure& failure_;
    const uint64_t oldSize_;
    const uint64_t newSize_;
    const size_t segments_;
    const unsigned threads_;
    SuffixIndex index_;
    std::vector<uint8_t> segment_;
    std::atomic<uint64_t> rawCovers_{0};
    std::atomic<uint64_t> rawCovered_{0};
};

} // namespace

bool Encode(vcdiff::Source* old, vcdiff::Source& newFile, vcdiff::Sink& payload,
            const EncoderOptions& options, const EncodeProgress& progress, EncodeReport* report,
            Failure& failure) {
    failure = Failure();
    EncodeReport ignored;
    EncodeReport& filled = report ? *report : ignored;
    filled = EncodeReport();
    try {
        return EncodeRun(old, newFile, payload, options, progress, filled, failure).Run();
    } catch (const std::bad_alloc&) {
        return failure.Set(Error::OutOfMemory, "while encoding", 0);
    }
}

} // namespace blockdiff
