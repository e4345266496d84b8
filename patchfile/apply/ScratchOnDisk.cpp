#include "ScratchOnDisk.h"

#include "TemporaryFile.h"

namespace patchfile {

ScratchOnDisk::ScratchOnDisk(FileSystem& fs, std::string target, plumbing::Tick tick)
    : fs_(fs), target_(std::move(target)), tick_(std::move(tick)) {}

ScratchOnDisk::~ScratchOnDisk() {
    source_.reset();
    in_.reset();
    out_.reset();
    IoError ignored;
    if (created_)
        fs_.RemoveFile(path_, ignored);
}

bool ScratchOnDisk::Open() {
    out_ = CreateTemporaryBeside(fs_, target_, path_, error_);
    created_ = out_ != nullptr;
    return created_;
}

bool ScratchOnDisk::Write(const void* data, size_t length) {
    return out_ && out_->Write(data, length, error_);
}

// The file is read back at once and never kept: its handle is closed without a flush to the
// disk, which for a large file would be one long wait without a tick.
bool ScratchOnDisk::Finish() {
    if (!out_)
        return false;
    out_.reset();
    in_ = fs_.OpenRead(path_, error_);
    if (!in_)
        return false;
    source_.emplace(*in_, tick_);
    return true;
}

IoError ScratchOnDisk::error() const {
    if (error_)
        return error_;
    return source_ ? source_->error() : IoError();
}

} // namespace patchfile
