#include "BlockDecoder.h"

#include "BlockFormat.h"
#include "BlockHeader.h"
#include "BlockRebuilder.h"
#include "ByteBuffer.h"
#include "CachedReader.h"
#include "Crc32Sum.h"
#include "PayloadHeader.h"
#include "PredictionHeader.h"
#include "PredictionSetup.h"
#include "WorkPacer.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

namespace blockdiff {
namespace {

// The output's CRC-32 is summed in pieces, with a tick between them.
constexpr size_t kCrcPiece = 1u << 20;

class DecodeRun {
public:
    DecodeRun(plumbing::Source& payload, plumbing::Source* old, plumbing::Sink& result,
              const plumbing::Tick& tick, Failure& failure)
        : payload_(payload), payloadSize_(payload.Size()), old_(old),
          oldSize_(old ? old->Size() : 0), oldReader_(old), result_(result), pacer_(tick),
          failure_(failure) {}

    bool Run() {
        uint8_t header[format::kPayloadHeaderBytes];
        uint64_t resultSize = 0;
        if (!ReadPayload(header, sizeof header, "the payload header") ||
            !ParsePayloadHeader(header, resultSize, predicted_, failure_) ||
            (predicted_ && !PreparePrediction(resultSize))) {
            return false;
        }
        for (written_ = 0; written_ < resultSize;) {
            if (!DecodeBlock(resultSize - written_)) {
                return false;
            }
            written_ += header_.outputSize;
        }
        PLUMBING_FAIL_IF(pos_ != payloadSize_, failure_, Error::Corrupt,
                         "bytes after the last block", pos_);
        return true;
    }

private:
    // The new image's layout from the prediction header, the map of every block's covers and
    // the old image's references, before the first block is rebuilt.
    bool PreparePrediction(uint64_t resultSize) {
        uint8_t fixed[format::kPredictionFixedBytes];
        size_t sections = 0;
        uint8_t version = 0;
        uint8_t table[x86image::kMaxSections * format::kPredictionSectionBytes];
        uint64_t at = pos_;
        if (!ReadPayload(fixed, sizeof fixed, "the prediction header") ||
            !ParsePredictionFixed(fixed, at, version, newLayout_, sections, failure_)) {
            return false;
        }
        at = pos_;
        if (!ReadPayload(table, sections * format::kPredictionSectionBytes,
                         "the prediction header") ||
            !ParsePredictionSections(table, sections, at, newLayout_, failure_) ||
            !MapCovers(resultSize)) {
            return false;
        }
        // A tick between the steps: sorting an image's fields takes milliseconds.
        x86image::ImageReferences old;
        if (!Tick() ||
            !ParseOldImage(
                old_, version, old, [this] { return pacer_.Tick(); }, failure_) ||
            !Tick()) {
            return false;
        }
        predictor_ = std::make_unique<ReferencePredictor>(old, newLayout_, map_);
        return Tick();
    }

    bool Tick() {
        PLUMBING_FAIL_IF(!pacer_.Tick(), failure_, Error::Stopped, "while preparing the prediction",
                         pos_);
        return true;
    }

    // A first pass over the blocks that decodes only their covers.
    bool MapCovers(uint64_t resultSize) {
        const uint64_t blocksStart = pos_;
        for (uint64_t mapped = 0; mapped < resultSize;) {
            const uint64_t at = pos_;
            if (!ReadBlockHeader(resultSize - mapped)) {
                return false;
            }
            uint8_t* covers = nullptr;
            try {
                covers = covers_.Reserve(header_.streams[format::kCovers].rawSize);
            } catch (const std::bad_alloc&) {
                return failure_.Set(Error::OutOfMemory, "for a block's covers", at);
            }
            if (!DecodeStream(header_.streams[format::kCovers], covers) ||
                !MapBlockCovers(covers, header_.streams[format::kCovers].rawSize,
                                header_.outputSize, oldSize_, mapped, at, map_, failure_)) {
                return false;
            }
            pos_ = at + format::kBlockHeaderBytes + header_.StoredBytes();
            mapped += header_.outputSize;
        }
        pos_ = blocksStart;
        map_.Seal();
        return Tick();
    }

    bool ReadBlockHeader(uint64_t resultLeft) {
        const uint64_t at = pos_;
        PLUMBING_FAIL_IF(!pacer_.Tick(), failure_, Error::Stopped, "before a block", at);
        uint8_t bytes[format::kBlockHeaderBytes];
        if (!ReadPayload(bytes, sizeof bytes, "a block header") ||
            !ParseBlockHeader(bytes, at, header_, failure_)) {
            return false;
        }
        PLUMBING_FAIL_IF(header_.outputSize > resultLeft, failure_, Error::Corrupt,
                         "the block goes past the end of the result", at);
        PLUMBING_FAIL_IF(header_.StoredBytes() > payloadSize_ - pos_, failure_, Error::Truncated,
                         "the payload ends inside a block's streams", at);
        PLUMBING_FAIL_IF(header_.predicted && !predicted_, failure_, Error::Corrupt,
                         "a predicted block in a payload without prediction", at + 8);
        return true;
    }

    bool DecodeBlock(uint64_t resultLeft) {
        const uint64_t at = pos_;
        if (!ReadBlockHeader(resultLeft)) {
            return false;
        }
        uint8_t* output = nullptr;
        uint8_t* streams[format::kStreamCount] = {};
        if (!Reserve(output, streams, at)) {
            return false;
        }
        for (size_t i = 0; i < format::kStreamCount; ++i) {
            if (!DecodeStream(header_.streams[i], streams[i])) {
                return false;
            }
        }
        const BlockStreams decoded{streams[format::kCovers], streams[format::kPositions],
                                   streams[format::kDifferences], streams[format::kLiterals]};
        const RebuildSource source{oldReader_, oldSize_,
                                   header_.predicted ? predictor_.get() : nullptr, written_};
        return RebuildBlock(header_, decoded, source, output, pacer_, at, failure_) &&
               CheckCrc(output, at) && Write(output, at);
    }

    // The buffers a block needs, all within the limits its header was checked against. The
    // positions, differences and literals share one.
    bool Reserve(uint8_t*& output, uint8_t* (&streams)[format::kStreamCount], uint64_t at) {
        const auto& s = header_.streams;
        uint8_t* shared = nullptr;
        try {
            output = output_.Reserve(header_.outputSize);
            streams[format::kCovers] = covers_.Reserve(s[format::kCovers].rawSize);
            shared =
                shared_.Reserve(size_t{s[format::kPositions].rawSize} +
                                s[format::kDifferences].rawSize + s[format::kLiterals].rawSize);
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, "for a block's buffers", at);
        }
        for (const size_t stream : {format::kPositions, format::kDifferences, format::kLiterals}) {
            streams[stream] = shared;
            shared += s[stream].rawSize;
        }
        return true;
    }

    bool DecodeStream(const StreamDescriptor& stream, uint8_t* target) {
        const uint64_t at = pos_;
        if (stream.coder == coders::Coder::Store) {
            return ReadPayload(target, stream.storedSize, "a stream");
        }
        uint8_t* stored = nullptr;
        try {
            stored = stored_.Reserve(stream.storedSize);
        } catch (const std::bad_alloc&) {
            return failure_.Set(Error::OutOfMemory, "for a stream's stored bytes", at);
        }
        if (!ReadPayload(stored, stream.storedSize, "a stream")) {
            return false;
        }
        const coders::DecodeResult result = coders::Decode(stream.coder, stored, stream.storedSize,
                                                           target, stream.rawSize, pacer_.tick());
        switch (result) {
        case coders::DecodeResult::Ok:
            return true;
        case coders::DecodeResult::Corrupt:
            return failure_.Set(Error::StreamCorrupt,
                                std::string("a ") + coders::CoderName(stream.coder) +
                                    " stream does not decode to its " +
                                    std::to_string(stream.rawSize) + " bytes",
                                at);
        case coders::DecodeResult::OutOfMemory:
            return failure_.Set(Error::OutOfMemory, "for a stream's decoder", at);
        case coders::DecodeResult::Stopped:
            return failure_.Set(Error::Stopped, "while a stream was decompressed", at);
        }
        return failure_.Set(Error::StreamCorrupt, "an unknown decoder result", at);
    }

    bool CheckCrc(const uint8_t* output, uint64_t at) {
        uint32_t crc = 0;
        for (size_t done = 0; done < header_.outputSize;) {
            const size_t piece = std::min<size_t>(kCrcPiece, header_.outputSize - done);
            crc = plumbing::UpdateCrc32(crc, output + done, piece);
            done += piece;
            PLUMBING_FAIL_IF(!pacer_.Advance(piece), failure_, Error::Stopped,
                             "while a block was checked", at);
        }
        PLUMBING_FAIL_IF(crc != header_.outputCrc, failure_, Error::ChecksumMismatch,
                         "the block's output does not match its CRC-32", at + 4);
        return true;
    }

    bool Write(const uint8_t* output, uint64_t at) {
        for (size_t done = 0; done < header_.outputSize;) {
            const size_t piece = std::min<size_t>(kMaxDecoderWrite, header_.outputSize - done);
            PLUMBING_FAIL_IF(!result_.Write(output + done, piece), failure_, Error::SinkRefused,
                             "while a block was written", at);
            done += piece;
            PLUMBING_FAIL_IF(!pacer_.Advance(piece), failure_, Error::Stopped,
                             "while a block was written", at);
        }
        return true;
    }

    bool ReadPayload(void* buffer, size_t length, const char* what) {
        PLUMBING_FAIL_IF(length > payloadSize_ - pos_, failure_, Error::Truncated,
                         std::string("the payload ends inside ") + what, pos_);
        PLUMBING_FAIL_IF(length > 0 && !payload_.Read(pos_, buffer, length), failure_,
                         Error::PayloadReadFailed, std::string("reading ") + what, pos_);
        pos_ += length;
        return true;
    }

    plumbing::Source& payload_;
    const uint64_t payloadSize_;
    plumbing::Source* old_;
    const uint64_t oldSize_;
    plumbing::CachedReader oldReader_;
    plumbing::Sink& result_;
    WorkPacer pacer_;
    Failure& failure_;
    uint64_t pos_ = 0;
    uint64_t written_ = 0;
    bool predicted_ = false; // the payload has a prediction header
    BlockHeader header_;
    x86image::ImageLayout newLayout_;
    AddressMap map_;
    std::unique_ptr<ReferencePredictor> predictor_;
    ByteBuffer output_;
    ByteBuffer covers_;
    ByteBuffer shared_;
    ByteBuffer stored_;
};

} // namespace

bool Decode(plumbing::Source& payload, plumbing::Source* old, plumbing::Sink& result,
            const plumbing::Tick& tick, Failure& failure) {
    failure = Failure();
    try {
        return DecodeRun(payload, old, result, tick, failure).Run();
    } catch (const std::bad_alloc&) {
        return failure.Set(Error::OutOfMemory, "while decoding", failure.offset);
    }
}

} // namespace blockdiff
