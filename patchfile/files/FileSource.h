#pragma once
#include "FileSystem.h"
#include "Source.h"
#include "Tick.h"

namespace patchfile {

// A file, or a range of one, as a decoder's source: the old file that deltas copy from, or
// a payload inside the patch file. Read on demand at 64-bit offsets, never held whole. A
// failed read is kept for the error message; each read is a chance to tick.
class FileSource : public plumbing::Source {
public:
    FileSource(InputFile& file, plumbing::Tick tick)
        : file_(file), tick_(std::move(tick)), size_(file.Size()) {}
    // The `size` bytes at `start`, which the caller has checked lie inside the file.
    FileSource(InputFile& file, plumbing::Tick tick, uint64_t start, uint64_t size)
        : file_(file), tick_(std::move(tick)), start_(start), size_(size) {}

    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* buffer, size_t length) override;

    const IoError& error() const { return error_; }

private:
    InputFile& file_;
    plumbing::Tick tick_;
    uint64_t start_ = 0;
    uint64_t size_;
    IoError error_;
};

} // namespace patchfile
