#include "FileHeader.h"

#include "HeaderReader.h"
#include "VcdiffFormat.h"

namespace vcdiff {

namespace {

constexpr uint8_t kKnownHeaderBits =
    format::kHeaderDecompress | format::kHeaderCodeTable | format::kHeaderAppHeader;

ParseStatus ParseMagic(HeaderReader& in) {
    for (const uint8_t expected : format::kMagic) {
        const uint64_t at = in.offset();
        uint8_t byte = 0;
        VCDIFF_TRY(in.Byte(byte));
        PLUMBING_FAIL_IF(byte != expected, in.failure(), Error::BadMagic,
                         "the delta does not start with the VCDIFF magic bytes", at);
    }
    return ParseStatus::Done;
}

} // namespace

ParseStatus ParseFileHeader(const uint8_t* data, size_t size, FileHeader& header,
                            Failure& failure) {
    HeaderReader in(data, size, 0, failure);
    VCDIFF_TRY(ParseMagic(in));

    uint8_t version = 0;
    VCDIFF_TRY(in.Byte(version));
    PLUMBING_FAIL_IF(version != format::kVersion, failure, Error::UnsupportedVersion,
                     "header version " + std::to_string(version) + " (only 0 is supported)", 3);

    uint8_t indicator = 0;
    VCDIFF_TRY(in.Byte(indicator));
    PLUMBING_FAIL_IF(indicator & ~kKnownHeaderBits, failure, Error::Corrupt,
                     "unknown bits in the header indicator", 4);
    PLUMBING_FAIL_IF(indicator & format::kHeaderDecompress, failure, Error::UnsupportedCompression,
                     "the header names a secondary compressor", 4);
    PLUMBING_FAIL_IF(indicator & format::kHeaderCodeTable, failure, Error::UnsupportedCodeTable,
                     "the header carries an application-defined code table", 4);

    header.appHeaderLength = 0;
    if (indicator & format::kHeaderAppHeader) {
        VCDIFF_TRY(in.Integer(header.appHeaderLength, "application header length"));
    }
    header.length = in.position();
    return ParseStatus::Done;
}

} // namespace vcdiff
