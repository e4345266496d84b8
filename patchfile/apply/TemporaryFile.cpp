#include "TemporaryFile.h"

#include "TemporaryName.h"

namespace patchfile {

std::unique_ptr<OutputFile> CreateTemporaryBeside(FileSystem& fs, const std::string& target,
                                                  std::string& path, IoError& error) {
    std::unique_ptr<OutputFile> file;
    for (unsigned number = 1; number <= quill::kTemporaryNameAttempts; ++number) {
        path = quill::TemporaryNameBeside(target, number);
        error = IoError{};
        file = fs.CreateNew(path, error);
        if (file || error.kind != IoError::Kind::Exists)
            break;
    }
    return file;
}

} // namespace patchfile
