#include "WindowHeader.h"

#include "HeaderReader.h"
#include "VcdiffFormat.h"

namespace vcdiff {

namespace {

constexpr uint8_t kKnownWindowBits =
    format::kWindowSource | format::kWindowTarget | format::kWindowAdler32;

ParseStatus ParseIndicator(HeaderReader& in, WindowHeader& header) {
    const uint64_t at = in.offset();
    uint8_t indicator = 0;
    VCDIFF_TRY(in.Byte(indicator));
    Failure& failure = in.failure();
    PLUMBING_FAIL_IF(indicator & ~kKnownWindowBits, failure, Error::Corrupt,
                     "unknown bits in the window indicator", at);
    const bool source = indicator & format::kWindowSource;
    const bool target = indicator & format::kWindowTarget;
    PLUMBING_FAIL_IF(source && target, failure, Error::Corrupt,
                     "the window indicator names both a source and a target segment", at);
    header.segment = source   ? SegmentKind::Source
                     : target ? SegmentKind::DecodedTarget
                              : SegmentKind::None;
    header.hasChecksum = indicator & format::kWindowAdler32;
    return ParseStatus::Done;
}

ParseStatus ParseSegment(HeaderReader& in, const WindowContext& context, WindowHeader& header) {
    header.segmentLength = 0;
    header.segmentPosition = 0;
    if (header.segment == SegmentKind::None) {
        return ParseStatus::Done;
    }
    const uint64_t at = in.offset();
    VCDIFF_TRY(in.Integer(header.segmentLength, "source segment length"));
    VCDIFF_TRY(in.Integer(header.segmentPosition, "source segment position"));
    Failure& failure = in.failure();
    const bool fromSource = header.segment == SegmentKind::Source;
    PLUMBING_FAIL_IF(fromSource && !context.hasSource, failure, Error::SourceOutOfRange,
                     "the window copies from a source file, but none was given", at);
    PLUMBING_FAIL_IF(!fromSource && !context.canReadDecoded, failure, Error::SourceOutOfRange,
                     "the window copies from earlier output, which cannot be read back", at);
    const uint64_t available = fromSource ? context.sourceSize : context.decodedSize;
    PLUMBING_FAIL_IF(header.segmentLength > available ||
                         header.segmentPosition > available - header.segmentLength,
                     failure, Error::SourceOutOfRange,
                     "the source segment (" + std::to_string(header.segmentLength) + " bytes at " +
                         std::to_string(header.segmentPosition) + ") ends beyond the " +
                         std::to_string(available) + " bytes available",
                     at);
    return ParseStatus::Done;
}

ParseStatus ParseSectionLengths(HeaderReader& in, const WindowContext& context,
                                WindowHeader& header) {
    Failure& failure = in.failure();
    const uint64_t at = in.offset();
    uint8_t deltaIndicator = 0;
    VCDIFF_TRY(in.Byte(deltaIndicator));
    PLUMBING_FAIL_IF(deltaIndicator & format::kDeltaCompressionMask, failure,
                     Error::UnsupportedCompression, "the window's sections are compressed", at);
    PLUMBING_FAIL_IF(deltaIndicator != 0, failure, Error::Corrupt,
                     "unknown bits in the delta indicator", at);

    const uint64_t limit = context.maxDeltaWindow;
    const uint64_t dataAt = in.offset();
    VCDIFF_TRY(in.Integer(header.dataLength, "data section length"));
    const uint64_t instAt = in.offset();
    VCDIFF_TRY(in.Integer(header.instructionsLength, "instructions section length"));
    const uint64_t addrAt = in.offset();
    VCDIFF_TRY(in.Integer(header.addressesLength, "addresses section length"));
    const std::string tooLarge =
        "the window's sections exceed the limit of " + std::to_string(limit) + " bytes";
    PLUMBING_FAIL_IF(header.dataLength > limit, failure, Error::WindowTooLarge, tooLarge, dataAt);
    PLUMBING_FAIL_IF(header.instructionsLength > limit - header.dataLength, failure,
                     Error::WindowTooLarge, tooLarge, instAt);
    PLUMBING_FAIL_IF(header.addressesLength > limit - header.dataLength - header.instructionsLength,
                     failure, Error::WindowTooLarge, tooLarge, addrAt);
    return ParseStatus::Done;
}

ParseStatus ParseChecksum(HeaderReader& in, WindowHeader& header) {
    header.checksum = 0;
    if (!header.hasChecksum) {
        return ParseStatus::Done;
    }
    for (size_t i = 0; i < format::kChecksumBytes; ++i) {
        uint8_t byte = 0;
        VCDIFF_TRY(in.Byte(byte));
        header.checksum = (header.checksum << 8) | byte;
    }
    return ParseStatus::Done;
}

} // namespace

ParseStatus ParseWindowHeader(const uint8_t* data, size_t size, uint64_t base,
                              const WindowContext& context, WindowHeader& header,
                              Failure& failure) {
    HeaderReader in(data, size, base, failure);
    VCDIFF_TRY(ParseIndicator(in, header));
    VCDIFF_TRY(ParseSegment(in, context, header));

    const uint64_t deltaLengthAt = in.offset();
    uint64_t deltaLength = 0;
    VCDIFF_TRY(in.Integer(deltaLength, "delta encoding length"));
    const size_t encodingStart = in.position();

    const uint64_t targetAt = in.offset();
    VCDIFF_TRY(in.Integer(header.targetLength, "target window length"));
    PLUMBING_FAIL_IF(header.targetLength > context.maxTargetWindow, failure, Error::WindowTooLarge,
                     "the target window of " + std::to_string(header.targetLength) +
                         " bytes exceeds the limit of " + std::to_string(context.maxTargetWindow),
                     targetAt);
    // Addresses run over the segment and the target window together.
    PLUMBING_FAIL_IF(header.segmentLength > UINT64_MAX - header.targetLength, failure,
                     Error::Corrupt, "the source segment and target window overflow the addresses",
                     targetAt);

    VCDIFF_TRY(ParseSectionLengths(in, context, header));
    VCDIFF_TRY(ParseChecksum(in, header));
    header.length = in.position();

    // The sections are within the limit, so this sum cannot overflow unless the limit is
    // close to 2^64; check anyway.
    const uint64_t fieldsLength = header.length - encodingStart;
    PLUMBING_FAIL_IF(header.sectionsLength() > UINT64_MAX - fieldsLength ||
                         deltaLength != fieldsLength + header.sectionsLength(),
                     failure, Error::Corrupt,
                     "the delta encoding length " + std::to_string(deltaLength) +
                         " does not match the window's sections",
                     deltaLengthAt);
    return ParseStatus::Done;
}

} // namespace vcdiff
