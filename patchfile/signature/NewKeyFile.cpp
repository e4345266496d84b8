#include "NewKeyFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace patchfile {
namespace {

#ifdef _WIN32
// Windows has no group or world bits: a file in the owner's folders is the owner's.
int CreateExclusive(const char* path, bool /*ownerOnly*/) {
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const char* data, size_t length) {
    return _write(fd, data, static_cast<unsigned>(length));
}
int CloseFile(int fd) {
    return _close(fd);
}
#else
// The mode is given to open itself (and the umask can only narrow it), so the file never
// exists with wider rights.
int CreateExclusive(const char* path, bool ownerOnly) {
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0644);
}
ssize_t WriteSome(int fd, const char* data, size_t length) {
    return write(fd, data, length);
}
int CloseFile(int fd) {
    return close(fd);
}
#endif

} // namespace

bool WriteNewFile(const std::string& path, const std::string& text, bool ownerOnly,
                  std::string& error) {
    int fd = CreateExclusive(path.c_str(), ownerOnly);
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        auto written = WriteSome(fd, text.data() + done, text.size() - done);
        if (written <= 0) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            CloseFile(fd);
            std::remove(path.c_str());
            return false;
        }
        done += static_cast<size_t>(written);
    }
    if (CloseFile(fd) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace patchfile
