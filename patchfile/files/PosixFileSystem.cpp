#include "FileSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace patchfile {
namespace {

IoError ErrorFromErrno(int code) {
    IoError error;
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        error.kind = IoError::Kind::NotFound;
        break;
    case EISDIR:
        error.kind = IoError::Kind::IsFolder;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        error.kind = IoError::Kind::AccessDenied;
        break;
    case ETXTBSY:
    case EBUSY:
        error.kind = IoError::Kind::InUse;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        error.kind = IoError::Kind::DiskFull;
        break;
    case EEXIST:
        error.kind = IoError::Kind::Exists;
        break;
    default:
        error.kind = IoError::Kind::Other;
        break;
    }
    error.systemText = std::strerror(code);
    return error;
}

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// A rename is on the disk only once the folder holding the new name is: until then a power
// cut can leave the old file under that name, or none. A file system that cannot sync a
// folder (EINVAL) offers nothing more to wait for.
bool SyncFolderOf(const std::string& path, IoError& error) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    FileHandle fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || (::fsync(fd.get()) != 0 && errno != EINVAL)) {
        error = ErrorFromErrno(errno);
        return false;
    }
    return true;
}

class PosixInputFile : public InputFile {
public:
    PosixInputFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, void* buffer, size_t length, IoError& error) override {
        auto* out = static_cast<char*>(buffer);
        while (length > 0) {
            if (offset > static_cast<uint64_t>(INT64_MAX)) {
                error = OwnError("offset beyond the largest file");
                return false;
            }
            ssize_t got = ::pread(fd_.get(), out, length, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = ErrorFromErrno(errno);
                return false;
            }
            if (got == 0) {
                error = OwnError("the file ended early");
                return false;
            }
            out += got;
            length -= static_cast<size_t>(got);
            offset += static_cast<uint64_t>(got);
        }
        return true;
    }

private:
    FileHandle fd_;
    uint64_t size_;
};

class PosixOutputFile : public OutputFile {
public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}

    bool Write(const void* data, size_t length, IoError& error) override {
        return WriteLoop(data, length, -1, error);
    }

    bool WriteAt(uint64_t offset, const void* data, size_t length, IoError& error) override {
        return WriteLoop(data, length, static_cast<off_t>(offset), error);
    }

    bool Flush(IoError& error) override {
        if (::fsync(fd_.get()) == 0)
            return true;
        error = ErrorFromErrno(errno);
        return false;
    }

    bool Close(IoError& error) override {
        int fd = fd_.release();
        bool synced = ::fsync(fd) == 0;
        int syncErrno = errno;
        bool closed = ::close(fd) == 0;
        if (!synced || !closed) {
            error = ErrorFromErrno(synced ? errno : syncErrno);
            return false;
        }
        return true;
    }

private:
    // At the file position when `offset` is negative, else from `offset` on.
    bool WriteLoop(const void* data, size_t length, off_t offset, IoError& error) {
        const auto* in = static_cast<const char*>(data);
        while (length > 0) {
            ssize_t put = offset < 0 ? ::write(fd_.get(), in, length)
                                     : ::pwrite(fd_.get(), in, length, offset);
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0) {
                error = ErrorFromErrno(errno);
                return false;
            }
            in += put;
            length -= static_cast<size_t>(put);
            if (offset >= 0)
                offset += put;
        }
        return true;
    }

    FileHandle fd_;
};

class PosixFileSystem : public FileSystem {
public:
    std::string Join(const std::string& folder, const std::string& relativeName) const override {
        std::string path = folder;
        if (path.empty() || path.back() != '/')
            path += '/';
        for (char c : relativeName)
            path += c == '\\' ? '/' : c;
        return path;
    }

    bool Kind(const std::string& path, PathKind& kind, IoError& error) override {
        struct stat info;
        if (::stat(path.c_str(), &info) != 0) {
            // Only these say that the path is not there (the second: a file where a folder
            // on the way should be, as Windows reports it).
            if (errno != ENOENT && errno != ENOTDIR) {
                error = ErrorFromErrno(errno);
                return false;
            }
            kind = PathKind::Missing;
            return true;
        }
        kind = S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
        return true;
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path, IoError& error) override {
        FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) {
            error = ErrorFromErrno(errno);
            return nullptr;
        }
        struct stat info;
        if (::fstat(fd.get(), &info) != 0) {
            error = ErrorFromErrno(errno);
            return nullptr;
        }
        if (S_ISDIR(info.st_mode)) {
            error = ErrorFromErrno(EISDIR);
            return nullptr;
        }
        return std::make_unique<PosixInputFile>(fd.release(), static_cast<uint64_t>(info.st_size));
    }

    std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
        // Unlinking first replaces a read-only file, as the Windows implementation does.
        PathKind kind = PathKind::Missing;
        if (!Kind(path, kind, error))
            return nullptr;
        if (kind == PathKind::File)
            ::unlink(path.c_str());
        return OpenForWriting(path, O_TRUNC, error);
    }

    std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override {
        return OpenForWriting(path, O_EXCL, error);
    }

    bool Replace(const std::string& from, const std::string& to, IoError& error) override {
        PathKind kind = PathKind::Missing;
        if (!FileOrNothingAt(to, ErrorFromErrno(EISDIR), kind, error))
            return false;
        if (::rename(from.c_str(), to.c_str()) != 0) {
            error = ErrorFromErrno(errno);
            return false;
        }
        // A failed sync is reported although the file is already new: the caller stops, and
        // the file is old or new whatever it does next.
        return SyncFolderOf(to, error);
    }

    bool RemoveFile(const std::string& path, IoError& error) override {
        PathKind kind = PathKind::Missing;
        if (!FileOrNothingAt(path, ErrorFromErrno(EISDIR), kind, error))
            return false;
        if (kind == PathKind::Missing)
            return true;
        if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
            error = ErrorFromErrno(errno);
            return false;
        }
        return true;
    }

    void RemoveFolderIfEmpty(const std::string& path) override { ::rmdir(path.c_str()); }

    bool CreateFolder(const std::string& path, IoError& error) override {
        if (::mkdir(path.c_str(), 0755) == 0)
            return true;
        int code = errno;
        if (code == EEXIST)
            return FolderAlreadyAt(path, error);
        error = ErrorFromErrno(code);
        return false;
    }

    bool List(const std::string& folder, std::vector<FolderItem>& items, IoError& error) override {
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) {
            error = ErrorFromErrno(errno);
            return false;
        }
        items.clear();
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            PathKind kind = PathKind::Missing;
            if (!Kind(folder + "/" + name, kind, error)) {
                ::closedir(dir);
                return false;
            }
            FolderItem item;
            item.isFolder = kind == PathKind::Folder;
            item.name = std::move(name);
            items.push_back(std::move(item));
        }
        ::closedir(dir);
        return true;
    }

private:
    static std::unique_ptr<OutputFile> OpenForWriting(const std::string& path, int mode,
                                                      IoError& error) {
        FileHandle fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | mode, 0644));
        if (fd.get() < 0) {
            error = ErrorFromErrno(errno);
            return nullptr;
        }
        return std::make_unique<PosixOutputFile>(fd.release());
    }
};

} // namespace

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

} // namespace patchfile
