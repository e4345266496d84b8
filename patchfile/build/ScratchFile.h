#pragma once
#include "FileSystem.h"

#include <memory>
#include <string>

namespace patchfile {

// A temporary file a candidate payload is written to before the builder knows whether it
// keeps it; removed when it goes out of scope.
class ScratchFile {
public:
    ScratchFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool Create(IoError& error);
    OutputFile& out() { return *out_; }
    const std::string& path() const { return path_; }
    // Closes the file and appends all it holds to `to`.
    bool AppendTo(OutputFile& to, IoError& error);

private:
    FileSystem& fs_;
    std::string path_;
    std::unique_ptr<OutputFile> out_;
    bool created_ = false;
};

} // namespace patchfile
