#include "FileSystem.h"
#include "SystemMessage.h"

#include <windows.h>

namespace patchfile {
namespace {

std::string SystemText(DWORD code) {
    std::string result = quill::SystemMessage(code);
    // The system's texts often end in a full stop; ours are embedded in sentences.
    while (!result.empty() && (result.back() == '.' || result.back() == ' '))
        result.pop_back();
    if (result.empty())
        result = "system error " + std::to_string(code);
    return result;
}

// Takes the error code at the failing call, before anything else can change it.
IoError ErrorFromCode(DWORD code) {
    IoError error;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        error.kind = IoError::Kind::NotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        error.kind = IoError::Kind::AccessDenied;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        error.kind = IoError::Kind::InUse;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        error.kind = IoError::Kind::DiskFull;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        error.kind = IoError::Kind::Exists;
        break;
    default:
        error.kind = IoError::Kind::Other;
        break;
    }
    error.systemText = SystemText(code);
    return error;
}

IoError LastError() {
    return ErrorFromCode(GetLastError());
}

IoError FolderInPlace() {
    IoError error;
    error.kind = IoError::Kind::IsFolder;
    return error;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    bool Close() {
        if (!valid())
            return true;
        BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

bool Seek(HANDLE file, uint64_t offset, IoError& error) {
    if (offset > static_cast<uint64_t>(INT64_MAX)) {
        error = OwnError("offset beyond the largest file");
        return false;
    }
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) {
        error = LastError();
        return false;
    }
    return true;
}

bool WriteAll(HANDLE file, const void* data, size_t length, IoError& error) {
    const auto* in = static_cast<const char*>(data);
    while (length > 0) {
        DWORD chunk = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(file, in, chunk, &written, nullptr)) {
            error = LastError();
            return false;
        }
        if (written == 0) {
            error = ErrorFromCode(ERROR_DISK_FULL);
            return false;
        }
        in += written;
        length -= written;
    }
    return true;
}

class Win32InputFile : public InputFile {
public:
    Win32InputFile(HANDLE handle, uint64_t size) : handle_(handle), size_(size) {}
    uint64_t Size() const override { return size_; }

    bool ReadAt(uint64_t offset, void* buffer, size_t length, IoError& error) override {
        if (!Seek(handle_.get(), offset, error))
            return false;
        auto* out = static_cast<char*>(buffer);
        while (length > 0) {
            DWORD chunk = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
            DWORD got = 0;
            if (!ReadFile(handle_.get(), out, chunk, &got, nullptr)) {
                error = LastError();
                return false;
            }
            if (got == 0) {
                error = OwnError("the file ended early");
                return false;
            }
            out += got;
            length -= got;
        }
        return true;
    }

private:
    Handle handle_;
    uint64_t size_;
};

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}

    bool Write(const void* data, size_t length, IoError& error) override {
        return WriteAll(handle_.get(), data, length, error);
    }

    bool WriteAt(uint64_t offset, const void* data, size_t length, IoError& error) override {
        LARGE_INTEGER zero{}, end{};
        if (!SetFilePointerEx(handle_.get(), zero, &end, FILE_CURRENT)) {
            error = LastError();
            return false;
        }
        return Seek(handle_.get(), offset, error) && WriteAll(handle_.get(), data, length, error) &&
               Seek(handle_.get(), static_cast<uint64_t>(end.QuadPart), error);
    }

    bool Flush(IoError& error) override {
        if (FlushFileBuffers(handle_.get()))
            return true;
        error = LastError();
        return false;
    }

    bool Close(IoError& error) override {
        if (!FlushFileBuffers(handle_.get())) {
            error = LastError();
            handle_.Close();
            return false;
        }
        if (!handle_.Close()) {
            error = LastError();
            return false;
        }
        return true;
    }

private:
    Handle handle_;
};

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

// The only failures that say a path is not there; any other one (a name too long, no access)
// says nothing about it.
bool MeansAbsent(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Files copied from a CD are read-only, and Windows refuses to replace or delete those.
void ClearReadOnly(const std::string& path) {
    DWORD attributes = Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

class Win32FileSystem : public FileSystem {
public:
    std::string Join(const std::string& folder, const std::string& relativeName) const override {
        std::string path = folder;
        if (path.empty() || (path.back() != '\\' && path.back() != '/'))
            path += '\\';
        for (char c : relativeName)
            path += c == '/' ? '\\' : c;
        return path;
    }

    bool Kind(const std::string& path, PathKind& kind, IoError& error) override {
        DWORD attributes = Attributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            DWORD code = GetLastError();
            if (!MeansAbsent(code)) {
                error = ErrorFromCode(code);
                return false;
            }
            kind = PathKind::Missing;
            return true;
        }
        kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
        return true;
    }

    std::unique_ptr<InputFile> OpenRead(const std::string& path, IoError& error) override {
        PathKind kind = PathKind::Missing;
        if (!FileOrNothingAt(path, FolderInPlace(), kind, error))
            return nullptr;
        Handle handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!handle.valid()) {
            error = LastError();
            return nullptr;
        }
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle.get(), &size)) {
            error = LastError();
            return nullptr;
        }
        return std::make_unique<Win32InputFile>(handle.release(),
                                                static_cast<uint64_t>(size.QuadPart));
    }

    std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
        PathKind kind = PathKind::Missing;
        if (!FileOrNothingAt(path, FolderInPlace(), kind, error))
            return nullptr;
        ClearReadOnly(path);
        return OpenForWriting(path, CREATE_ALWAYS, error);
    }

    std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override {
        std::unique_ptr<OutputFile> file = OpenForWriting(path, CREATE_NEW, error);
        // A folder of that name is refused with "access denied": it is a taken name too.
        if (!file && error.kind == IoError::Kind::AccessDenied &&
            Attributes(path) != INVALID_FILE_ATTRIBUTES)
            error.kind = IoError::Kind::Exists;
        return file;
    }

    bool Replace(const std::string& from, const std::string& to, IoError& error) override {
        PathKind kind = PathKind::Missing;
        if (!FileOrNothingAt(to, FolderInPlace(), kind, error))
            return false;
        ClearReadOnly(to);
        if (!MoveFileExA(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = LastError();
            return false;
        }
        return true;
    }

    bool RemoveFile(const std::string& path, IoError& error) override {
        PathKind kind = PathKind::Missing;
        if (!FileOrNothingAt(path, FolderInPlace(), kind, error))
            return false;
        if (kind == PathKind::Missing)
            return true;
        ClearReadOnly(path);
        if (!DeleteFileA(path.c_str())) {
            DWORD code = GetLastError();
            if (MeansAbsent(code))
                return true;
            error = ErrorFromCode(code);
            return false;
        }
        return true;
    }

    void RemoveFolderIfEmpty(const std::string& path) override { RemoveDirectoryA(path.c_str()); }

    bool CreateFolder(const std::string& path, IoError& error) override {
        if (CreateDirectoryA(path.c_str(), nullptr))
            return true;
        DWORD code = GetLastError();
        if (code == ERROR_ALREADY_EXISTS)
            return FolderAlreadyAt(path, error);
        error = ErrorFromCode(code);
        return false;
    }

    bool List(const std::string& folder, std::vector<FolderItem>& items, IoError& error) override {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(Join(folder, "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) {
            error = LastError();
            return false;
        }
        items.clear();
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            FolderItem item;
            item.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            item.name = std::move(name);
            items.push_back(std::move(item));
        } while (FindNextFileA(find, &data));
        DWORD code = GetLastError();
        FindClose(find);
        if (code != ERROR_NO_MORE_FILES) {
            error = ErrorFromCode(code);
            return false;
        }
        return true;
    }

private:
    static std::unique_ptr<OutputFile> OpenForWriting(const std::string& path, DWORD disposition,
                                                      IoError& error) {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = LastError();
            return nullptr;
        }
        return std::make_unique<Win32OutputFile>(handle);
    }
};

} // namespace

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

} // namespace patchfile
