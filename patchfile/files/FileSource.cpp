#include "FileSource.h"

namespace patchfile {

bool FileSource::Read(uint64_t offset, void* buffer, size_t length) {
    if (offset > size_ || length > size_ - offset) {
        error_.kind = IoError::Kind::Other;
        error_.systemText = "read beyond the end of the file";
        return false;
    }
    if (!file_.ReadAt(start_ + offset, buffer, length, error_))
        return false;
    return !tick_ || tick_();
}

} // namespace patchfile
