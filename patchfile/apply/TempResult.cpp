#include "TempResult.h"

#include "TemporaryFile.h"

namespace patchfile {

TempResult::TempResult(FileSystem& fs, std::string target, uint64_t expectedSize)
    : fs_(fs), target_(std::move(target)), expectedSize_(expectedSize) {}

TempResult::~TempResult() {
    Discard();
}

bool TempResult::Open(IoError& error) {
    file_ = CreateTemporaryBeside(fs_, target_, temp_, error);
    created_ = file_ != nullptr;
    return created_;
}

bool TempResult::Write(const void* data, size_t length, IoError& error, bool& tooLong) {
    tooLong = length > expectedSize_ - written_;
    if (tooLong || !file_)
        return false;
    if (!file_->Write(data, length, error))
        return false;
    crc_.Update(data, length);
    written_ += length;
    return FlushInSteps(error);
}

// Flushing a large file only at the end would be one long wait (a fraction of a second per
// few hundred MiB) in which the caller's window gets no turn; a step's flush is short.
bool TempResult::FlushInSteps(IoError& error) {
    if (written_ - flushed_ < kFlushStep)
        return true;
    flushed_ = written_;
    return file_->Flush(error);
}

bool TempResult::Commit(IoError& error) {
    if (!file_)
        return false;
    bool closed = file_->Close(error);
    file_.reset();
    if (!closed || !fs_.Replace(temp_, target_, error))
        return false;
    created_ = false;
    return true;
}

void TempResult::Discard() {
    file_.reset();
    if (created_) {
        IoError ignored;
        fs_.RemoveFile(temp_, ignored);
        created_ = false;
    }
}

} // namespace patchfile
