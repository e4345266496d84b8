#include "VcdiffDecoder.h"

#include "CachedReader.h"
#include "DecodeStatus.h"
#include "FileHeader.h"
#include "WindowDecoder.h"
#include "WindowHeader.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

namespace vcdiff {

namespace {

// Counts what the sink accepted.
class CountingSink : public plumbing::Sink {
public:
    explicit CountingSink(plumbing::Sink& inner) : inner_(inner) {}
    bool Write(const void* data, size_t length) override {
        if (!inner_.Write(data, length)) {
            return false;
        }
        count_ += length;
        return true;
    }
    uint64_t count() const { return count_; }

private:
    plumbing::Sink& inner_;
    uint64_t count_ = 0;
};

// Limits beyond what a size_t can index on this platform are cut down to it.
DecoderLimits Effective(DecoderLimits limits) {
    const uint64_t cap = std::numeric_limits<size_t>::max() / 4;
    limits.maxTargetWindow = std::min(limits.maxTargetWindow, cap);
    limits.maxDeltaWindow = std::min(limits.maxDeltaWindow, cap);
    return limits;
}

} // namespace

struct Decoder::State {
    enum class Phase { FileHeader, AppHeader, WindowHeader, WindowSections, Failed };

    State(plumbing::Source* source, plumbing::Sink& sink, DecoderLimits limits)
        : source(source), sink(sink), limits(Effective(limits)), sourceReader(source) {}

    size_t Step(const uint8_t* data, size_t length);
    template <typename Parse> size_t FeedHeader(const uint8_t* data, size_t length, Parse parse);
    size_t FeedFileHeader(const uint8_t* data, size_t length);
    size_t FeedWindowHeader(const uint8_t* data, size_t length);
    size_t SkipAppHeader(size_t length);
    size_t FeedSections(const uint8_t* data, size_t length);
    void DecodeWindow();
    WindowContext Context() const;
    bool Fail(Error error, std::string detail, uint64_t offset);

    plumbing::Source* source;
    CountingSink sink;
    DecoderLimits limits;
    plumbing::Source* decodedReader = nullptr;
    plumbing::CachedReader sourceReader;
    std::unique_ptr<plumbing::CachedReader> decodedCache;

    Phase phase = Phase::FileHeader;
    uint64_t consumed = 0;  // delta bytes taken so far
    uint64_t unitStart = 0; // delta offset of the header or sections being collected
    std::vector<uint8_t> pending;
    uint64_t appHeaderLeft = 0;
    WindowHeader window;
    uint64_t windowIndex = 0;
    std::vector<uint8_t> sections;
    std::vector<uint8_t> target;
    Failure failure;
    bool failedInWindow = false;
};

size_t Decoder::State::Step(const uint8_t* data, size_t length) {
    switch (phase) {
    case Phase::FileHeader:
        return FeedFileHeader(data, length);
    case Phase::AppHeader:
        return SkipAppHeader(length);
    case Phase::WindowHeader:
        return FeedWindowHeader(data, length);
    case Phase::WindowSections:
        return FeedSections(data, length);
    case Phase::Failed:
        break;
    }
    return length;
}

// Collects header bytes until `parse` succeeds or fails; returns the bytes of `data` used.
// A header is shorter than kMaxWindowHeaderLength, so at most that many bytes are held.
template <typename Parse>
size_t Decoder::State::FeedHeader(const uint8_t* data, size_t length, Parse parse) {
    if (pending.empty()) {
        unitStart = consumed;
    }
    const size_t before = pending.size();
    const size_t take = std::min(length, kMaxWindowHeaderLength - before);
    pending.insert(pending.end(), data, data + take);
    size_t headerLength = 0;
    switch (parse(headerLength)) {
    case ParseStatus::NeedMore:
        return take;
    case ParseStatus::Failed:
        phase = Phase::Failed;
        return take;
    case ParseStatus::Done:
        break;
    }
    pending.clear();
    return headerLength - before;
}

size_t Decoder::State::FeedFileHeader(const uint8_t* data, size_t length) {
    FileHeader header;
    const size_t used = FeedHeader(data, length, [&](size_t& headerLength) {
        const ParseStatus status = ParseFileHeader(pending.data(), pending.size(), header, failure);
        headerLength = header.length;
        return status;
    });
    if (phase == Phase::FileHeader && pending.empty()) {
        appHeaderLeft = header.appHeaderLength;
        phase = appHeaderLeft > 0 ? Phase::AppHeader : Phase::WindowHeader;
    }
    return used;
}

size_t Decoder::State::SkipAppHeader(size_t length) {
    const size_t used = static_cast<size_t>(std::min<uint64_t>(length, appHeaderLeft));
    appHeaderLeft -= used;
    if (appHeaderLeft == 0) {
        phase = Phase::WindowHeader;
    }
    return used;
}

WindowContext Decoder::State::Context() const {
    WindowContext context;
    context.hasSource = source != nullptr;
    context.sourceSize = source ? source->Size() : 0;
    context.canReadDecoded = decodedReader != nullptr;
    context.decodedSize = sink.count();
    context.maxTargetWindow = limits.maxTargetWindow;
    context.maxDeltaWindow = limits.maxDeltaWindow;
    return context;
}

size_t Decoder::State::FeedWindowHeader(const uint8_t* data, size_t length) {
    const WindowContext context = Context();
    const size_t used = FeedHeader(data, length, [&](size_t& headerLength) {
        const ParseStatus status =
            ParseWindowHeader(pending.data(), pending.size(), unitStart, context, window, failure);
        headerLength = window.length;
        return status;
    });
    if (phase == Phase::Failed) {
        failedInWindow = true;
    } else if (pending.empty()) {
        phase = Phase::WindowSections;
        unitStart = consumed + used;
        sections.clear();
        sections.reserve(static_cast<size_t>(window.sectionsLength()));
        if (window.sectionsLength() == 0) {
            DecodeWindow();
        }
    }
    return used;
}

size_t Decoder::State::FeedSections(const uint8_t* data, size_t length) {
    const size_t needed = static_cast<size_t>(window.sectionsLength()) - sections.size();
    const size_t take = std::min(length, needed);
    sections.insert(sections.end(), data, data + take);
    if (take == needed) {
        DecodeWindow();
    }
    return take;
}

void Decoder::State::DecodeWindow() {
    SegmentAccess access;
    if (window.segment == SegmentKind::Source) {
        access = {&sourceReader, source->Size()};
    } else if (window.segment == SegmentKind::DecodedTarget) {
        // Earlier output only grows; the cached block may predate the last window.
        decodedCache->Invalidate();
        access = {decodedCache.get(), sink.count()};
    }
    WindowDecoder decoder(window, sections.data(), unitStart, access, sink, target, failure);
    if (decoder.Decode() != ParseStatus::Done) {
        phase = Phase::Failed;
        failedInWindow = true;
        return;
    }
    ++windowIndex;
    phase = Phase::WindowHeader;
}

bool Decoder::State::Fail(Error error, std::string detail, uint64_t offset) {
    failure.Set(error, std::move(detail), offset);
    phase = Phase::Failed;
    return false;
}

Decoder::Decoder(plumbing::Source* source, plumbing::Sink& sink, DecoderLimits limits)
    : state_(std::make_unique<State>(source, sink, limits)) {}

Decoder::~Decoder() = default;

void Decoder::SetDecodedTargetReader(plumbing::Source* decoded) {
    state_->decodedReader = decoded;
    state_->decodedCache = decoded ? std::make_unique<plumbing::CachedReader>(decoded) : nullptr;
}

bool Decoder::Feed(const void* data, size_t length) {
    State& s = *state_;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    try {
        while (length > 0 && s.phase != State::Phase::Failed) {
            const size_t used = s.Step(bytes, length);
            bytes += used;
            length -= used;
            s.consumed += used;
        }
    } catch (const std::bad_alloc&) {
        s.failedInWindow = s.phase == State::Phase::WindowSections;
        return s.Fail(Error::OutOfMemory, "no memory for a window within the limits", s.unitStart);
    }
    return s.phase != State::Phase::Failed;
}

bool Decoder::Finish() {
    State& s = *state_;
    switch (s.phase) {
    case State::Phase::Failed:
        return false;
    case State::Phase::FileHeader:
        return s.Fail(Error::Truncated, "the delta ends inside its header", s.consumed);
    case State::Phase::AppHeader:
        return s.Fail(Error::Truncated, "the delta ends inside its application header", s.consumed);
    case State::Phase::WindowHeader:
        if (s.pending.empty()) {
            return true;
        }
        s.failedInWindow = true;
        return s.Fail(Error::Truncated, "the delta ends inside a window header", s.consumed);
    case State::Phase::WindowSections:
        s.failedInWindow = true;
        return s.Fail(Error::Truncated,
                      "the delta ends after " + std::to_string(s.sections.size()) + " of the " +
                          std::to_string(s.window.sectionsLength()) + " bytes of a window",
                      s.consumed);
    }
    return false;
}

Error Decoder::error() const {
    return state_->failure.error;
}

std::string Decoder::message() const {
    const State& s = *state_;
    if (s.failure.error == Error::None) {
        return {};
    }
    std::string text =
        std::string("VCDIFF: ") + Describe(s.failure.error) + ": " + s.failure.detail + " (";
    if (s.failedInWindow) {
        text += "window " + std::to_string(s.windowIndex) + ", ";
    }
    return text + "delta offset " + std::to_string(s.failure.offset) + ")";
}

uint64_t Decoder::targetBytesWritten() const {
    return state_->sink.count();
}

uint64_t Decoder::windowsDecoded() const {
    return state_->windowIndex;
}

} // namespace vcdiff
