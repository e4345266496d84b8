#include "BlockHeader.h"

#include "LittleEndian.h"

#include <string>

namespace blockdiff {
namespace {

const char* const kStreamNames[format::kStreamCount] = {"covers", "positions", "differences",
                                                        "literals"};

// Stored bytes are never more than raw bytes: a stream that does not shrink is stored as it
// is, so the decoder's buffer for stored bytes is bounded by the raw limits too.
bool CheckStream(const StreamDescriptor& stream, size_t index, uint32_t rawLimit, uint64_t offset,
                 Failure& failure) {
    const std::string name = kStreamNames[index];
    PLUMBING_FAIL_IF(stream.rawSize > rawLimit, failure, Error::TooLarge,
                     "the " + name + " stream holds " + std::to_string(stream.rawSize) +
                         " bytes, more than " + std::to_string(rawLimit),
                     offset);
    PLUMBING_FAIL_IF(stream.storedSize > stream.rawSize, failure, Error::Corrupt,
                     "the " + name + " stream is stored in more bytes than it holds", offset);
    PLUMBING_FAIL_IF(stream.coder == coders::Coder::Store && stream.storedSize != stream.rawSize,
                     failure, Error::Corrupt,
                     "the stored " + name + " stream has two different sizes", offset);
    PLUMBING_FAIL_IF(stream.rawSize > 0 && stream.storedSize == 0, failure, Error::Corrupt,
                     "the " + name + " stream has no stored bytes", offset);
    return true;
}

// The differences cover only covered bytes and the literals only the others; the encoder
// writes the sparse form only when its two streams are no longer than the dense one. So
// the three fit in one buffer of the block's output size.
bool CheckShared(const BlockHeader& header, uint64_t offset, Failure& failure) {
    const auto& s = header.streams;
    PLUMBING_FAIL_IF(header.form == format::DifferenceForm::Dense &&
                         s[format::kPositions].rawSize != 0,
                     failure, Error::Corrupt, "a dense block with difference positions", offset);
    const uint64_t shared = uint64_t{s[format::kPositions].rawSize} +
                            s[format::kDifferences].rawSize + s[format::kLiterals].rawSize;
    PLUMBING_FAIL_IF(shared > header.outputSize, failure, Error::Corrupt,
                     "differences and literals together exceed the block's output", offset);
    return true;
}

} // namespace

uint64_t BlockHeader::StoredBytes() const {
    uint64_t total = 0;
    for (const StreamDescriptor& stream : streams) {
        total += stream.storedSize;
    }
    return total;
}

void AppendBlockHeader(const BlockHeader& header, std::vector<uint8_t>& out) {
    plumbing::AppendLittleEndian(out, header.outputSize, 4);
    plumbing::AppendLittleEndian(out, header.outputCrc, 4);
    out.push_back(static_cast<uint8_t>(static_cast<uint8_t>(header.form) |
                                       (header.predicted ? format::kPredictedForm : 0)));
    for (const StreamDescriptor& stream : header.streams) {
        out.push_back(static_cast<uint8_t>(stream.coder));
        plumbing::AppendLittleEndian(out, stream.rawSize, 4);
        plumbing::AppendLittleEndian(out, stream.storedSize, 4);
    }
}

bool ParseBlockHeader(const uint8_t* bytes, uint64_t offset, BlockHeader& header,
                      Failure& failure) {
    header.outputSize = static_cast<uint32_t>(plumbing::LoadLittleEndian(bytes, 4));
    header.outputCrc = static_cast<uint32_t>(plumbing::LoadLittleEndian(bytes + 4, 4));
    PLUMBING_FAIL_IF(header.outputSize == 0, failure, Error::Corrupt, "a block of no output",
                     offset);
    PLUMBING_FAIL_IF(header.outputSize > format::kMaxBlockOutput, failure, Error::TooLarge,
                     "a block of " + std::to_string(header.outputSize) + " bytes of output",
                     offset);
    const uint8_t form = bytes[8] & ~format::kPredictedForm;
    PLUMBING_FAIL_IF(form >= format::kDifferenceFormCount, failure, Error::Corrupt,
                     "unknown difference form " + std::to_string(bytes[8]), offset + 8);
    header.form = static_cast<format::DifferenceForm>(form);
    header.predicted = (bytes[8] & format::kPredictedForm) != 0;

    const uint32_t rawLimits[format::kStreamCount] = {format::kMaxCoverBytes, header.outputSize,
                                                      header.outputSize, header.outputSize};
    for (size_t i = 0; i < format::kStreamCount; ++i) {
        const uint8_t* field = bytes + 9 + i * format::kStreamDescriptorBytes;
        const uint64_t at = offset + 9 + i * format::kStreamDescriptorBytes;
        PLUMBING_FAIL_IF(!coders::IsCoder(field[0]), failure, Error::UnknownCoder,
                         "the " + std::string(kStreamNames[i]) + " stream names coder " +
                             std::to_string(field[0]),
                         at);
        StreamDescriptor& stream = header.streams[i];
        stream.coder = static_cast<coders::Coder>(field[0]);
        stream.rawSize = static_cast<uint32_t>(plumbing::LoadLittleEndian(field + 1, 4));
        stream.storedSize = static_cast<uint32_t>(plumbing::LoadLittleEndian(field + 5, 4));
        if (!CheckStream(stream, i, rawLimits[i], at, failure)) {
            return false;
        }
    }
    return CheckShared(header, offset, failure);
}

} // namespace blockdiff
