#include "TempResult.h"

#include "TemporaryName.h"

namespace patchfile {

TempResult::TempResult(FileSystem& fs, std::string target, uint64_t expectedSize)
    : fs_(fs), target_(std::move(target)), expectedSize_(expectedSize) {}

TempResult::~TempResult() {
    Discard();
}

// A name no longer than the target's own, so that a target the system takes has a temporary
// file it takes too. A taken name is someone else's file (a player's, the game's, or one a
// killed run left and that cannot be told from those): it is never replaced, the next name is
// tried.
bool TempResult::Open(IoError& error) {
    for (unsigned number = 1; number <= quill::kTemporaryNameAttempts; ++number) {
        temp_ = quill::TemporaryNameBeside(target_, number);
        error = IoError{};
        file_ = fs_.CreateNew(temp_, error);
        if (file_ || error.kind != IoError::Kind::Exists)
            break;
    }
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
