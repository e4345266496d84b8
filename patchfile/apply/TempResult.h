#pragma once
#include "BuildSizes.h"
#include "Crc32.h"
#include "FileSystem.h"

#include <memory>
#include <string>

namespace patchfile {

// A file's new contents, written to a temporary file of its own beside it (a new file, never
// one that was there) and moved into place only once complete and verified by the caller.
// Until then the target keeps its old contents; a TempResult destroyed without Commit removes
// its temporary file, so a stop or a failure leaves the target old and nothing behind.
class TempResult {
public:
    TempResult(FileSystem& fs, std::string target, uint64_t expectedSize);
    ~TempResult();
    TempResult(const TempResult&) = delete;
    TempResult& operator=(const TempResult&) = delete;

    bool Open(IoError& error);
    // False when the file cannot be written, or (with `tooLong` set) when the bytes would go
    // beyond the expected size.
    bool Write(const void* data, size_t length, IoError& error, bool& tooLong);
    // Flushes the file and moves it onto the target.
    bool Commit(IoError& error);

    uint64_t written() const { return written_; }
    uint32_t crc() const { return crc_.value(); }

private:
    bool FlushInSteps(IoError& error);
    void Discard();

    static constexpr uint64_t kFlushStep = quill::SizeFor<uint64_t>(4 * 1024 * 1024, 4 * 1024);

    FileSystem& fs_;
    std::string target_;
    std::string temp_;
    uint64_t expectedSize_;
    std::unique_ptr<OutputFile> file_;
    uint64_t written_ = 0;
    uint64_t flushed_ = 0;
    Crc32 crc_;
    bool created_ = false;
};

} // namespace patchfile
