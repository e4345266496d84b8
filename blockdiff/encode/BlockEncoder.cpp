#include "BlockEncoder.h"

#include "AnchorTable.h"
#include "BlockCompressor.h"
#include "BlockPlan.h"
#include "CoverFinder.h"
#include "OldParts.h"
#include "Parallel.h"
#include "PayloadHeader.h"
#include "PredictionPlan.h"
#include "RawBlock.h"
#include "ReadRange.h"
#include "SampledStrings.h"
#include "SuffixIndex.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

namespace blockdiff {
namespace {

// The new file is read, matched and written in slices of this size (whole blocks).
constexpr size_t kSliceBytes = 64u << 20;
static_assert(kSliceBytes % format::kMaxBlockOutput == 0, "slices hold whole blocks");
// An old file indexed in parts: the most of it indexed for one slice.
constexpr size_t kPartsBudget = kWideAddresses ? 3 * kSliceBytes : kSliceBytes;
// A slice is matched in pieces of this size, shared out among the threads: small enough
// that progress is reported about every second even where matching is slowest, large
// enough that the cover cut at each piece's edge costs nothing measurable.
constexpr size_t kMatchPieceBytes = 2u << 20;
// A slice whose anchors leave more than this share of it uncovered (1/kUnexplainedShare) is
// matched again through the sorted suffixes of its parts.
constexpr size_t kUnexplainedShare = 64;
// The differing bytes the predictor must save to be worth its header, a few bytes each
// after compression.
constexpr uint64_t kPredictionMinimumGain = 256;

class EncodeRun {
public:
    EncodeRun(plumbing::Source* old, plumbing::Source& newFile, plumbing::Sink& payload,
              const EncoderOptions& options, const EncodeProgress& progress, EncodeReport& report,
              Failure& failure)
        : old_(old), new_(newFile), payload_(payload), options_(options), progress_(progress),
          report_(report), failure_(failure), oldSize_(old ? old->Size() : 0),
          newSize_(newFile.Size()),
          slices_(static_cast<size_t>((newSize_ + kSliceBytes - 1) / kSliceBytes)),
          threads_(UsefulThreads(options.threads)) {}

    bool Run() {
        const uint64_t wholeLimit =
            options_.wholeOldLimit ? options_.wholeOldLimit : kDefaultWholeOldLimit;
        return oldSize_ <= wholeLimit ? EncodeWhole() : EncodeInParts();
    }

private:
    // The old file indexed once: every slice is matched before the suffix array is freed
    // and the blocks are built.
    bool EncodeWhole() {
        std::vector<uint8_t> text;
        const size_t oldLength = static_cast<size_t>(oldSize_);
        if (!Reserve(text, oldLength, "the old file") ||
            (oldLength > 0 && !Read(*old_, 0, text.data(), oldLength, "the old file")) ||
            !BuildIndex(std::move(text), {{0, 0, oldLength}})) {
            return false;
        }
        lookup_ = &index_;
        std::vector<std::vector<FoundCover>> covers(slices_);
        for (size_t slice = 0; slice < slices_; ++slice) {
            if (!LoadSlice(slice) || !MatchSlice(slice, covers[slice])) {
                return false;
            }
        }
        index_.DropSuffixes();
        std::vector<std::vector<BlockPlan>> plans(slices_);
        for (size_t slice = 0; slice < slices_; ++slice) {
            plans[slice] = PlanBlocks(covers[slice], SliceLength(slice), index_);
            std::vector<FoundCover>().swap(covers[slice]);
        }
        PredictionPlan prediction;
        const bool predicted = options_.predictReferences && old_ &&
                               prediction.Prepare(index_, new_, options_.predictorVersion) &&
                               Map(prediction, plans) && Pays(prediction, plans);
        if (!WriteHeader(predicted ? &prediction : nullptr)) {
            return false;
        }
        for (size_t slice = 0; slice < slices_; ++slice) {
            if (!LoadSlice(slice) ||
                !WriteSlice(slice, plans[slice], predicted ? prediction.predictor() : nullptr)) {
                return false;
            }
            std::vector<BlockPlan>().swap(plans[slice]);
        }
        return true;
    }

    bool WriteHeader(const PredictionPlan* prediction) {
        std::vector<uint8_t> header;
        AppendPayloadHeader(newSize_, prediction != nullptr, header);
        if (prediction) {
            prediction->AppendHeader(header);
            report_.predicted = true;
        }
        return Write(header);
    }

    bool Map(PredictionPlan& prediction, const std::vector<std::vector<BlockPlan>>& plans) const {
        for (size_t slice = 0; slice < slices_; ++slice) {
            prediction.AddCovers(plans[slice], SliceStart(slice), index_);
        }
        return prediction.Seal();
    }

    // Whether the predicted references leave enough fewer differing bytes to pay for the
    // prediction header; each block then still keeps the smaller of its two encodings.
    bool Pays(const PredictionPlan& prediction, const std::vector<std::vector<BlockPlan>>& plans) {
        uint64_t plain = 0;
        uint64_t predicted = 0;
        for (size_t slice = 0; slice < slices_; ++slice) {
            if (!LoadSlice(slice)) {
                return false;
            }
            for (const BlockPlan& plan : plans[slice]) {
                plain += DifferingBytes(plan, Source(slice, nullptr));
                predicted += DifferingBytes(plan, Source(slice, prediction.predictor()));
            }
        }
        return predicted + kPredictionMinimumGain <= plain;
    }

    BlockSource Source(size_t slice, const ReferencePredictor* predictor) const {
        return BlockSource{slice_.data(), SliceStart(slice), index_, predictor};
    }

    // The old file too large to sort whole: for each slice, the parts of it that the
    // slice's sampled strings point to, matched through their anchors.
    bool EncodeInParts() {
        report_.indexedInParts = true;
        if (!WriteHeader(nullptr)) {
            return false;
        }
        SampledStrings samples;
        try {
            if (!samples.Build(*old_)) {
                return failure_.Set(Error::SourceReadFailed, "reading the old file", 0);
            }
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, "for the old file's sampled strings", 0);
        }
        for (size_t slice = 0; slice < slices_; ++slice) {
            std::vector<FoundCover> covers;
            if (!LoadSlice(slice) || !IndexPartsFor(samples) || !MatchSlice(slice, covers) ||
                (!Explained(covers) && !MatchSorted(slice, covers))) {
                return false;
            }
            index_.DropSuffixes();
            if (!WriteSlice(slice, PlanBlocks(covers, slice_.size(), index_), nullptr)) {
                return false;
            }
        }
        return true;
    }

    // Whether the anchors covered enough of the loaded slice that sorting the suffixes of its
    // parts would find little more.
    bool Explained(const std::vector<FoundCover>& covers) const {
        uint64_t covered = 0;
        for (const FoundCover& cover : covers) {
            covered += cover.length;
        }
        return covered >= slice_.size() - slice_.size() / kUnexplainedShare;
    }

    // The slice matched again, through the sorted suffixes of the same parts.
    bool MatchSorted(size_t slice, std::vector<FoundCover>& covers) {
        report_.sortedSlices += 1;
        PLUMBING_FAIL_IF(!index_.Sort(), failure_, Error::OutOfMemory,
                         "for the old file's suffix array", 0);
        lookup_ = &index_;
        covers.clear();
        return MatchSlice(slice, covers);
    }

    bool IndexPartsFor(const SampledStrings& samples) {
        std::vector<uint8_t> text;
        std::vector<SuffixIndex::Region> regions;
        try {
            std::vector<uint32_t> votes(samples.PartCount());
            samples.Vote(slice_.data(), slice_.size(), votes);
            regions = ChooseOldParts(votes, oldSize_, kPartsBudget);
            index_ = SuffixIndex();
            anchors_ = AnchorTable();
            if (!ReadOldParts(*old_, regions, text)) {
                return failure_.Set(Error::SourceReadFailed, "reading the old file", 0);
            }
            index_.Hold(std::move(text), std::move(regions));
            anchors_.Build(index_);
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, "for parts of the old file", 0);
        }
        lookup_ = &anchors_;
        return true;
    }

    bool BuildIndex(std::vector<uint8_t> text, std::vector<SuffixIndex::Region> regions) {
        PLUMBING_FAIL_IF(!index_.Build(std::move(text), std::move(regions)), failure_,
                         Error::OutOfMemory, "for the old file's suffix array", 0);
        return true;
    }

    uint64_t SliceStart(size_t slice) const { return uint64_t{slice} * kSliceBytes; }
    size_t SliceLength(size_t slice) const {
        return static_cast<size_t>(std::min<uint64_t>(kSliceBytes, newSize_ - SliceStart(slice)));
    }

    bool LoadSlice(size_t slice) {
        if (loaded_ == slice) {
            return true;
        }
        loaded_ = SIZE_MAX;
        const size_t length = SliceLength(slice);
        if (!Reserve(slice_, length, "the new file") ||
            !Read(new_, SliceStart(slice), slice_.data(), length, "the new file")) {
            return false;
        }
        loaded_ = slice;
        return true;
    }

    bool Reserve(std::vector<uint8_t>& buffer, size_t length, const char* what) {
        try {
            buffer.resize(length);
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, std::string("for ") + what, 0);
        }
        return true;
    }

    bool Read(plumbing::Source& source, uint64_t offset, uint8_t* out, size_t length,
              const char* what) {
        PLUMBING_FAIL_IF(!plumbing::ReadRange(source, offset, out, length), failure_,
                         Error::SourceReadFailed, std::string("reading ") + what, 0);
        return true;
    }

    // Where an unchanged file would have the new bytes at `newOffset` in the text.
    size_t SameOffsetInText(uint64_t newOffset) const {
        for (const SuffixIndex::Region& region : index_.regions()) {
            if (newOffset >= region.oldStart && newOffset - region.oldStart < region.length) {
                return region.textStart + static_cast<size_t>(newOffset - region.oldStart);
            }
        }
        return SIZE_MAX;
    }

    // Matches the loaded slice in pieces shared out among the threads, each piece starting
    // at the alignment an unchanged file would have.
    bool MatchSlice(size_t slice, std::vector<FoundCover>& covers) {
        const size_t length = slice_.size();
        const size_t pieces =
            std::max<size_t>(1, (length + kMatchPieceBytes - 1) / kMatchPieceBytes);
        std::vector<std::vector<FoundCover>> found(pieces);
        std::atomic<bool> outOfMemory{false};
        const bool finished = RunReported(pieces, SliceStart(slice), [&](size_t piece) {
            const size_t begin = piece * kMatchPieceBytes;
            const size_t end = std::min(length, begin + kMatchPieceBytes);
            const size_t startText = SameOffsetInText(SliceStart(slice) + begin);
            try {
                found[piece] = FindCovers(index_, *lookup_, slice_.data(), begin, end, startText,
                                          options_.model);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            }
            return uint64_t{end - begin};
        });
        PLUMBING_FAIL_IF(outOfMemory, failure_, Error::OutOfMemory, "while matching", 0);
        for (std::vector<FoundCover>& piece : found) {
            covers.insert(covers.end(), piece.begin(), piece.end());
        }
        return finished && Progress(SliceStart(slice) + length);
    }

    // Runs the tasks on the threads, each returning the bytes of the new file it finished;
    // their sum from `base` on is reported as the caller's thread finishes its own tasks, so
    // that progress moves within a slice. False when the progress asked to stop.
    bool RunReported(size_t count, uint64_t base, const std::function<uint64_t(size_t)>& task) {
        std::atomic<uint64_t> done{0};
        std::atomic<bool> stop{false};
        RunTasks(
            count, threads_,
            [&](size_t i) {
                if (!stop) {
                    done += task(i);
                }
            },
            [&] { stop = stop || !Progress(base + done); });
        return !stop;
    }

    // Builds and compresses the loaded slice's blocks on the threads, then writes them in
    // order. With a predictor, a block whose predicted differences differ from the plain ones
    // is compressed both ways and keeps the smaller.
    bool WriteSlice(size_t slice, const std::vector<BlockPlan>& plans,
                    const ReferencePredictor* predictor) {
        std::vector<EncodedBlock> blocks(plans.size());
        std::vector<uint64_t> covered(plans.size());
        std::atomic<bool> outOfMemory{false};
        const uint64_t base = newSize_ + SliceStart(slice);
        const bool finished = RunReported(plans.size(), base, [&](size_t i) {
            try {
                const RawBlock raw = BuildRawBlock(plans[i], Source(slice, nullptr));
                covered[i] = raw.coveredBytes;
                if (!CompressBlock(raw, options_.coders, blocks[i]) ||
                    (predictor && !TryPredicted(plans[i], Source(slice, predictor), raw,
                                                options_.coders, blocks[i]))) {
                    outOfMemory = true;
                }
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            }
            return uint64_t{plans[i].end - plans[i].begin};
        });
        PLUMBING_FAIL_IF(outOfMemory, failure_, Error::OutOfMemory, "while compressing", 0);
        if (!finished) {
            return false;
        }
        for (size_t i = 0; i < blocks.size(); ++i) {
            Count(blocks[i], plans[i].covers.size(), covered[i]);
            if (!Write(blocks[i].bytes)) {
                return false;
            }
            std::vector<uint8_t>().swap(blocks[i].bytes);
        }
        return Progress(newSize_ + SliceStart(slice) + slice_.size());
    }

    static bool TryPredicted(const BlockPlan& plan, const BlockSource& source,
                             const RawBlock& plain, CoderSet coders, EncodedBlock& block) {
        const RawBlock raw = BuildRawBlock(plan, source);
        if (raw.dense == plain.dense) {
            return true;
        }
        EncodedBlock predicted;
        if (!CompressBlock(raw, coders, predicted)) {
            return false;
        }
        if (predicted.bytes.size() < block.bytes.size()) {
            block = std::move(predicted);
        }
        return true;
    }

    void Count(const EncodedBlock& block, size_t covers, uint64_t covered) {
        ++report_.blocks;
        report_.covers += covers;
        report_.coveredBytes += covered;
        report_.denseBlocks += block.header.form == format::DifferenceForm::Dense;
        report_.predictedBlocks += block.header.predicted;
        for (size_t i = 0; i < format::kStreamCount; ++i) {
            const StreamDescriptor& stream = block.header.streams[i];
            EncodeReport::Stream& total = report_.streams[i];
            total.rawBytes += stream.rawSize;
            total.storedBytes += stream.storedSize;
            ++total.blocksByCoder[static_cast<size_t>(stream.coder)];
        }
    }

    bool Write(const std::vector<uint8_t>& bytes) {
        PLUMBING_FAIL_IF(!payload_.Write(bytes.data(), bytes.size()), failure_, Error::SinkRefused,
                         "writing the payload", report_.payloadBytes);
        report_.payloadBytes += bytes.size();
        return true;
    }

    bool Progress(uint64_t done) {
        PLUMBING_FAIL_IF(progress_ && !progress_(done, 2 * newSize_), failure_, Error::Stopped,
                         "while encoding", report_.payloadBytes);
        return true;
    }

    plumbing::Source* old_;
    plumbing::Source& new_;
    plumbing::Sink& payload_;
    const EncoderOptions& options_;
    const EncodeProgress& progress_;
    EncodeReport& report_;
    Failure& failure_;
    const uint64_t oldSize_;
    const uint64_t newSize_;
    const size_t slices_;
    const unsigned threads_;
    SuffixIndex index_;
    AnchorTable anchors_;
    const MatchLookup* lookup_ = &index_;
    std::vector<uint8_t> slice_;
    size_t loaded_ = SIZE_MAX;
};

} // namespace

bool Encode(plumbing::Source* old, plumbing::Source& newFile, plumbing::Sink& payload,
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
