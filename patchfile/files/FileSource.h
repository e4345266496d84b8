#pragma once
#include "FileSystem.h"
#include "VcdiffIo.h"
#include "WorkTick.h"

namespace patchfile {

// The old file as the decoder's COPY source: read on demand at 64-bit offsets, never held
// whole. A failed read is kept for the error message; each read is a chance to tick.
class FileSource : public vcdiff::Source {
public:
    FileSource(InputFile& file, WorkTick tick) : file_(file), tick_(std::move(tick)) {}

    uint64_t Size() const override { return file_.Size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override;

    const IoError& error() const { return error_; }

private:
    InputFile& file_;
    WorkTick tick_;
    IoError error_;
};

} // namespace patchfile
