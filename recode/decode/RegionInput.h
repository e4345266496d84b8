#pragma once
#include "Source.h"
#include "Streams.h"
#include "Tick.h"

#include <cstdint>

namespace recode {

// A range of a source as the deflate writer's content or a parse's stream, read in the
// pieces the reader asks for. A failed read or a stop ends the input early, which the
// reader refuses; `readFailed` and `stopped` then say why.
class RegionInput final : public deflatestream::ByteInput {
public:
    RegionInput(plumbing::Source& source, uint64_t offset, uint64_t length,
                const plumbing::Tick& tick)
        : source_(source), offset_(offset), remaining_(length), tick_(tick) {}

    size_t Read(uint8_t* out, size_t max) override;
    bool readFailed() const { return readFailed_; }
    bool stopped() const { return stopped_; }
    uint64_t remaining() const { return remaining_; }

private:
    plumbing::Source& source_;
    uint64_t offset_;
    uint64_t remaining_;
    const plumbing::Tick& tick_;
    bool readFailed_ = false;
    bool stopped_ = false;
};

} // namespace recode
