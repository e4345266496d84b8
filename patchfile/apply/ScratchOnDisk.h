#pragma once
#include "FileSource.h"
#include "FileSystem.h"
#include "Scratch.h"

#include <memory>
#include <optional>
#include <string>

namespace patchfile {

// An expanded file of the recoded method, kept on the disk beside its target under a
// temporary name of its own: written once, then read back as the next step's source, and
// removed when it goes out of scope.
class ScratchOnDisk final : public recode::Scratch {
public:
    ScratchOnDisk(FileSystem& fs, std::string target, plumbing::Tick tick);
    ~ScratchOnDisk() override;
    ScratchOnDisk(const ScratchOnDisk&) = delete;
    ScratchOnDisk& operator=(const ScratchOnDisk&) = delete;

    bool Open();
    bool Write(const void* data, size_t length) override;
    bool Finish() override;
    plumbing::Source& Contents() override { return *source_; }

    const std::string& path() const { return path_; }
    // The failed operation's error: of the writes, the flush, the reopening or the reads.
    IoError error() const;

private:
    FileSystem& fs_;
    std::string target_;
    std::string path_;
    plumbing::Tick tick_;
    std::unique_ptr<OutputFile> out_;
    std::unique_ptr<InputFile> in_;
    std::optional<FileSource> source_;
    IoError error_;
    bool created_ = false;
};

} // namespace patchfile
