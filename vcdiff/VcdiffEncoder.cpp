#include "VcdiffEncoder.h"

#include "Adler32.h"
#include "SegmentChoice.h"
#include "WindowEncoder.h"
#include "WindowWriter.h"

#include <algorithm>
#include <new>
#include <vector>

namespace vcdiff {

namespace {

constexpr uint32_t kMaxTargetWindow = 16u << 20;

EncoderOptions Normalised(EncoderOptions options) {
    const EncoderOptions defaults;
    if (options.targetWindow == 0) {
        options.targetWindow = defaults.targetWindow;
    }
    options.targetWindow = std::min(options.targetWindow, kMaxTargetWindow);
    if (options.maxSourceSegment == 0) {
        options.maxSourceSegment = defaults.maxSourceSegment;
    }
    options.searchDepth = std::max<uint32_t>(options.searchDepth, 1);
    return options;
}

MatchParams ParamsFor(const EncoderOptions& options) {
    MatchParams params;
    params.maxChain = options.searchDepth;
    return params;
}

// Encodes the target window by window into one reused buffer holding the segment and the
// window (the address space of a window).
class StreamEncoder {
public:
    StreamEncoder(plumbing::Source* source, plumbing::Source& target, plumbing::Sink& delta,
                  const EncoderOptions& options, const EncodeProgress& progress)
        : source_(source), target_(target), delta_(delta), options_(options), progress_(progress),
          windows_(ParamsFor(options)) {}

    Error Run();

private:
    Error EncodeWindow(uint64_t start, size_t length);
    Error LoadSegment(const Segment& segment, bool& same);

    plumbing::Source* source_;
    plumbing::Source& target_;
    plumbing::Sink& delta_;
    EncoderOptions options_;
    const EncodeProgress& progress_;
    WindowEncoder windows_;
    std::vector<uint8_t> u_;
    bool haveSegment_ = false;
    Segment segment_;
    int64_t drift_ = 0;
};

Error StreamEncoder::Run() {
    if (!WriteFileHeader(delta_)) {
        return Error::SinkRefused;
    }
    const uint64_t size = target_.Size();
    uint64_t start = 0;
    do {
        const size_t length =
            static_cast<size_t>(std::min<uint64_t>(options_.targetWindow, size - start));
        const Error error = EncodeWindow(start, length);
        if (error != Error::None) {
            return error;
        }
        start += length;
        if (progress_ && !progress_(start)) {
            return Error::Cancelled;
        }
    } while (start < size);
    return Error::None;
}

// Reads the segment into the front of the buffer unless it is there already.
Error StreamEncoder::LoadSegment(const Segment& segment, bool& same) {
    same =
        haveSegment_ && segment.position == segment_.position && segment.length == segment_.length;
    if (same) {
        return Error::None;
    }
    haveSegment_ = false;
    u_.resize(static_cast<size_t>(segment.length));
    if (segment.length > 0 && !source_->Read(segment.position, u_.data(), u_.size())) {
        return Error::SourceReadFailed;
    }
    haveSegment_ = true;
    segment_ = segment;
    return Error::None;
}

Error StreamEncoder::EncodeWindow(uint64_t start, size_t length) {
    Segment segment;
    if (source_ && source_->Size() > 0 && length > 0) {
        segment = ChooseSegment(source_->Size(), options_.maxSourceSegment, start, length, drift_);
    }
    bool same = false;
    const Error loaded = LoadSegment(segment, same);
    if (loaded != Error::None) {
        return loaded;
    }
    const size_t segmentLength = static_cast<size_t>(segment.length);
    u_.resize(segmentLength + length);
    uint8_t* window = u_.data() + segmentLength;
    if (length > 0 && !target_.Read(start, window, length)) {
        return Error::SourceReadFailed;
    }
    const bool windowsFollow = start + length < target_.Size();
    windows_.Encode(u_.data(), segmentLength, u_.size(), same, windowsFollow);
    if (windows_.hasSegmentCopy()) {
        drift_ = static_cast<int64_t>(segment.position + windows_.segmentCopyEnd()) -
                 static_cast<int64_t>(start + windows_.targetCopyEnd());
    }

    WindowLayout layout;
    layout.hasSegment = segment.length > 0;
    layout.segment = segment;
    layout.targetLength = length;
    layout.hasChecksum = options_.windowChecksum;
    layout.checksum = Adler32(kAdler32Initial, window, length);
    return WriteWindow(delta_, layout, windows_.instructions()) ? Error::None : Error::SinkRefused;
}

} // namespace

Error Encode(plumbing::Source* source, plumbing::Source& target, plumbing::Sink& delta,
             const EncoderOptions& options, const EncodeProgress& progress) {
    try {
        StreamEncoder encoder(source, target, delta, Normalised(options), progress);
        return encoder.Run();
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

} // namespace vcdiff
