#pragma once
#include "AddressCache.h"
#include "Adler32.h"
#include "CachedReader.h"
#include "CodeTable.h"
#include "DecodeStatus.h"
#include "Sink.h"
#include "VcdiffDecoder.h"
#include "WindowHeader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcdiff {

// The most bytes handed to the sink in one call.
constexpr size_t kMaxSinkWrite = kMaxDecoderWrite;

// Where a window's COPY instructions read the segment from.
struct SegmentAccess {
    plumbing::CachedReader* reader = nullptr; // null for a window without a segment
    uint64_t available = 0;                   // bytes the reader's source holds
};

// Runs the instructions of one complete window into `target` (one target window of memory)
// and passes the bytes on to the sink as they are decoded, at most kMaxSinkWrite at a time.
// Every size and address is checked against the window before it is used.
class WindowDecoder {
public:
    WindowDecoder(const WindowHeader& header, const uint8_t* sections, uint64_t sectionsOffset,
                  SegmentAccess segment, plumbing::Sink& sink, std::vector<uint8_t>& target,
                  Failure& failure);

    ParseStatus Decode();

private:
    ParseStatus Execute(const HalfInstruction& half);
    ParseStatus ReadSize(const HalfInstruction& half, uint64_t& size);
    ParseStatus Add(size_t size);
    ParseStatus Run(size_t size);
    ParseStatus Copy(size_t size, uint8_t mode);
    ParseStatus DecodeAddress(uint8_t mode, uint64_t& address);
    ParseStatus CopyPiece(uint64_t address, size_t length);
    void CopyWithinTarget(size_t from, size_t length);
    ParseStatus CheckEnd();
    ParseStatus FlushIfFull();
    ParseStatus Flush();
    void SumUnflushed();

    size_t Room() const { return flushed_ + kMaxSinkWrite - pos_; }
    uint64_t DataOffset() const { return sectionsOffset_ + dataPos_; }
    uint64_t InstructionOffset() const { return sectionsOffset_ + dataEnd_ + instPos_; }
    uint64_t AddressOffset() const { return sectionsOffset_ + instEnd_ + addrPos_; }

    const WindowHeader& header_;
    const uint8_t* sections_;
    uint64_t sectionsOffset_;
    SegmentAccess segment_;
    plumbing::Sink& sink_;
    std::vector<uint8_t>& target_;
    Failure& failure_;
    AddressCache cache_;

    // Section boundaries within `sections_`, and the read position in each section.
    size_t dataEnd_;
    size_t instEnd_;
    size_t addrEnd_;
    size_t dataPos_ = 0;
    size_t instPos_ = 0;
    size_t addrPos_ = 0;
    size_t pos_ = 0;     // target bytes decoded
    size_t flushed_ = 0; // target bytes given to the sink
    size_t summed_ = 0;  // target bytes added to the checksum
    uint32_t adler_ = kAdler32Initial;
};

} // namespace vcdiff
