#include "WindowDecoder.h"

#include "Varint.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vcdiff {

WindowDecoder::WindowDecoder(const WindowHeader& header, const uint8_t* sections,
                             uint64_t sectionsOffset, SegmentAccess segment, plumbing::Sink& sink,
                             std::vector<uint8_t>& target, Failure& failure)
    : header_(header), sections_(sections), sectionsOffset_(sectionsOffset), segment_(segment),
      sink_(sink), target_(target), failure_(failure),
      dataEnd_(static_cast<size_t>(header.dataLength)),
      instEnd_(dataEnd_ + static_cast<size_t>(header.instructionsLength)),
      addrEnd_(instEnd_ + static_cast<size_t>(header.addressesLength)) {}

ParseStatus WindowDecoder::Decode() {
    target_.resize(static_cast<size_t>(header_.targetLength));
    const CodeTable& table = DefaultCodeTable();
    while (dataEnd_ + instPos_ < instEnd_) {
        const CodeTableEntry& entry = table[sections_[dataEnd_ + instPos_]];
        ++instPos_;
        VCDIFF_TRY(Execute(entry.first));
        VCDIFF_TRY(Execute(entry.second));
    }
    VCDIFF_TRY(CheckEnd());
    if (header_.hasChecksum) {
        SumUnflushed();
        PLUMBING_FAIL_IF(adler_ != header_.checksum, failure_, Error::ChecksumMismatch,
                         "the window's Adler-32 does not match its decoded bytes", sectionsOffset_);
    }
    return Flush();
}

// The checksum is summed piece by piece as the pieces are passed on, so that a large window
// is never summed in one long step between two writes to the sink.
void WindowDecoder::SumUnflushed() {
    if (header_.hasChecksum && summed_ < pos_) {
        adler_ = Adler32(adler_, target_.data() + summed_, pos_ - summed_);
        summed_ = pos_;
    }
}

ParseStatus WindowDecoder::CheckEnd() {
    PLUMBING_FAIL_IF(pos_ != target_.size(), failure_, Error::Corrupt,
                     "the instructions end after " + std::to_string(pos_) + " of " +
                         std::to_string(target_.size()) + " target bytes",
                     InstructionOffset());
    PLUMBING_FAIL_IF(dataEnd_ != dataPos_, failure_, Error::Corrupt,
                     "the data section holds bytes that no instruction uses", DataOffset());
    PLUMBING_FAIL_IF(addrEnd_ != instEnd_ + addrPos_, failure_, Error::Corrupt,
                     "the addresses section holds bytes that no instruction uses", AddressOffset());
    return ParseStatus::Done;
}

ParseStatus WindowDecoder::Execute(const HalfInstruction& half) {
    if (half.type == InstructionType::Noop) {
        return ParseStatus::Done;
    }
    const uint64_t at = InstructionOffset();
    uint64_t size = 0;
    VCDIFF_TRY(ReadSize(half, size));
    PLUMBING_FAIL_IF(size > target_.size() - pos_, failure_, Error::Corrupt,
                     "an instruction of " + std::to_string(size) +
                         " bytes goes past the end of the target window",
                     at);
    switch (half.type) {
    case InstructionType::Add:
        return Add(static_cast<size_t>(size));
    case InstructionType::Run:
        return Run(static_cast<size_t>(size));
    case InstructionType::Copy:
        return Copy(static_cast<size_t>(size), half.mode);
    case InstructionType::Noop:
        break;
    }
    return ParseStatus::Done;
}

ParseStatus WindowDecoder::ReadSize(const HalfInstruction& half, uint64_t& size) {
    size = half.size;
    if (size != 0) {
        return ParseStatus::Done;
    }
    size_t pos = dataEnd_ + instPos_;
    const plumbing::VarintStatus status = plumbing::ReadVarint(sections_, instEnd_, pos, size);
    PLUMBING_FAIL_IF(status != plumbing::VarintStatus::Ok, failure_, Error::Corrupt,
                     status == plumbing::VarintStatus::NeedMore
                         ? "the instructions section ends inside an instruction size"
                         : "an instruction size is not a valid integer",
                     InstructionOffset());
    instPos_ = pos - dataEnd_;
    return ParseStatus::Done;
}

ParseStatus WindowDecoder::Add(size_t size) {
    PLUMBING_FAIL_IF(size > dataEnd_ - dataPos_, failure_, Error::Corrupt,
                     "an ADD of " + std::to_string(size) + " bytes reads past the data section",
                     DataOffset());
    while (size > 0) {
        const size_t n = std::min(size, Room());
        std::memcpy(target_.data() + pos_, sections_ + dataPos_, n);
        pos_ += n;
        dataPos_ += n;
        size -= n;
        VCDIFF_TRY(FlushIfFull());
    }
    return ParseStatus::Done;
}

ParseStatus WindowDecoder::Run(size_t size) {
    PLUMBING_FAIL_IF(dataPos_ == dataEnd_, failure_, Error::Corrupt,
                     "a RUN reads past the data section", DataOffset());
    const uint8_t byte = sections_[dataPos_++];
    while (size > 0) {
        const size_t n = std::min(size, Room());
        std::memset(target_.data() + pos_, byte, n);
        pos_ += n;
        size -= n;
        VCDIFF_TRY(FlushIfFull());
    }
    return ParseStatus::Done;
}

ParseStatus WindowDecoder::Copy(size_t size, uint8_t mode) {
    uint64_t address = 0;
    VCDIFF_TRY(DecodeAddress(mode, address));
    while (size > 0) {
        const size_t n = std::min(size, Room());
        VCDIFF_TRY(CopyPiece(address, n));
        address += n;
        size -= n;
        VCDIFF_TRY(FlushIfFull());
    }
    return ParseStatus::Done;
}

ParseStatus WindowDecoder::DecodeAddress(uint8_t mode, uint64_t& address) {
    const uint64_t at = AddressOffset();
    const uint64_t here = header_.segmentLength + pos_;
    if (mode >= AddressCache::kFirstSameMode) {
        PLUMBING_FAIL_IF(instEnd_ + addrPos_ == addrEnd_, failure_, Error::Corrupt,
                         "the addresses section ends inside an address", at);
        const size_t slot =
            (mode - AddressCache::kFirstSameMode) * 256u + sections_[instEnd_ + addrPos_++];
        address = cache_.Same(slot);
    } else {
        size_t pos = instEnd_ + addrPos_;
        uint64_t value = 0;
        const plumbing::VarintStatus status = plumbing::ReadVarint(sections_, addrEnd_, pos, value);
        PLUMBING_FAIL_IF(status != plumbing::VarintStatus::Ok, failure_, Error::Corrupt,
                         status == plumbing::VarintStatus::NeedMore
                             ? "the addresses section ends inside an address"
                             : "an address is not a valid integer",
                         at);
        addrPos_ = pos - instEnd_;
        if (mode == AddressCache::kSelfMode) {
            address = value;
        } else if (mode == AddressCache::kHereMode) {
            PLUMBING_FAIL_IF(value > here, failure_, Error::BadAddress,
                             "a COPY address lies before the start of the segment", at);
            address = here - value;
        } else {
            const uint64_t base = cache_.Near(mode - AddressCache::kFirstNearMode);
            PLUMBING_FAIL_IF(value > UINT64_MAX - base, failure_, Error::BadAddress,
                             "a COPY address overflows", at);
            address = base + value;
        }
    }
    PLUMBING_FAIL_IF(address >= here, failure_, Error::BadAddress,
                     "COPY address " + std::to_string(address) +
                         " is not before the current position " + std::to_string(here),
                     at);
    cache_.Update(address);
    return ParseStatus::Done;
}

// Addresses below the segment length are in the segment; a copy may run on from the end of
// the segment into the target window, which follows it in the address space.
ParseStatus WindowDecoder::CopyPiece(uint64_t address, size_t length) {
    const uint64_t segmentLength = header_.segmentLength;
    if (address < segmentLength) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(length, segmentLength - address));
        const uint64_t offset = header_.segmentPosition + address;
        PLUMBING_FAIL_IF(
            !segment_.reader->Read(offset, target_.data() + pos_, n, segment_.available), failure_,
            Error::SourceReadFailed,
            "reading " + std::to_string(n) + " source bytes at offset " + std::to_string(offset) +
                " failed",
            AddressOffset());
        pos_ += n;
        length -= n;
        address += n;
    }
    if (length > 0) {
        CopyWithinTarget(static_cast<size_t>(address - segmentLength), length);
    }
    return ParseStatus::Done;
}

// The copy may overlap the bytes it produces (a repeated pattern): copy forward in steps no
// longer than the distance, so every byte read has been written already.
void WindowDecoder::CopyWithinTarget(size_t from, size_t length) {
    const size_t distance = pos_ - from;
    while (length > 0) {
        const size_t n = std::min(length, distance);
        std::memcpy(target_.data() + pos_, target_.data() + from, n);
        pos_ += n;
        from += n;
        length -= n;
    }
}

// The window's last piece waits for the end of the window, so that it is written only once
// the checksum has been checked, also when it is a full one.
ParseStatus WindowDecoder::FlushIfFull() {
    const bool full = pos_ - flushed_ == kMaxSinkWrite && pos_ < target_.size();
    return full ? Flush() : ParseStatus::Done;
}

ParseStatus WindowDecoder::Flush() {
    if (pos_ == flushed_) {
        return ParseStatus::Done;
    }
    SumUnflushed();
    const bool written = sink_.Write(target_.data() + flushed_, pos_ - flushed_);
    PLUMBING_FAIL_IF(!written, failure_, Error::SinkRefused,
                     "the output refused " + std::to_string(pos_ - flushed_) + " bytes",
                     sectionsOffset_);
    flushed_ = pos_;
    return ParseStatus::Done;
}

} // namespace vcdiff
