#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace patchfile {

// Why a file operation failed, kept apart from the system's own text so that the engine can
// word its messages ("the disk is full") and tests can tell the cases apart.
struct IoError {
    enum class Kind { None, NotFound, IsFolder, AccessDenied, InUse, DiskFull, Exists, Other };
    Kind kind = Kind::None;
    std::string systemText; // the platform's description, when there is one

    explicit operator bool() const { return kind != Kind::None; }
};

// A short reason for a person, such as "the disk is full".
std::string DescribeIoError(const IoError& error);

// A failure that the system did not report, in the engine's own words.
IoError OwnError(const char* text);

// An open file read at any 64-bit offset, so that a large source is read on demand.
class InputFile {
public:
    virtual ~InputFile() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly `length` bytes at `offset`; a short read is an error.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t length, IoError& error) = 0;
};

// A new file written in order. `Close` flushes it to the disk: a file is complete only once
// `Close` has succeeded. Destroying it without `Close` just closes the handle.
// `Flush` puts what is written so far on the disk, so that a large file's flush can be taken
// in steps rather than as one long wait at `Close`.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual bool Write(const void* data, size_t length, IoError& error) = 0;
    // Rewrites bytes already written (the builder fills in its directory last).
    virtual bool WriteAt(uint64_t offset, const void* data, size_t length, IoError& error) = 0;
    virtual bool Flush(IoError& error) = 0;
    virtual bool Close(IoError& error) = 0;
};

enum class PathKind { Missing, File, Folder };

struct FolderItem {
    std::string name;
    bool isFolder = false;
};

// The few file operations the patch engine and the builder need; one implementation per
// platform, so that the engine itself stays portable.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Joins a relative name whose components are separated by backslashes to a folder.
    virtual std::string Join(const std::string& folder, const std::string& relativeName) const = 0;
    // What is at `path`. False, with `error`, when the system cannot tell (the path too long,
    // a folder on the way that may not be looked into): only a path that is not there counts
    // as missing, so a failure is never taken for an absence.
    virtual bool Kind(const std::string& path, PathKind& kind, IoError& error) = 0;
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path, IoError& error) = 0;
    // Creates the file, replacing a file of that name (also a read-only one).
    virtual std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) = 0;
    // Creates the file only if nothing is at `path`, in one step with the check, so that it
    // never replaces a file another program has just put there: a name that is taken (by a
    // file or a folder) fails with IoError::Kind::Exists.
    virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) = 0;
    // Moves `from` onto `to` in one step, replacing `to` even when it is read-only, and has
    // the move on the disk before it returns. False also when only that last step failed:
    // `to` then holds the moved file already.
    virtual bool Replace(const std::string& from, const std::string& to, IoError& error) = 0;
    // Removes a file, also a read-only one. A missing file is not an error.
    virtual bool RemoveFile(const std::string& path, IoError& error) = 0;
    // Removes a folder if it is empty; anything else leaves it (there is no error).
    virtual void RemoveFolderIfEmpty(const std::string& path) = 0;
    // Creates one folder; an existing folder is not an error.
    virtual bool CreateFolder(const std::string& path, IoError& error) = 0;
    // The names in a folder, without "." and "..".
    virtual bool List(const std::string& folder, std::vector<FolderItem>& items,
                      IoError& error) = 0;

protected:
    // What is at `path` when it may be used as a file: nothing or a file. A folder fails with
    // `folderError`, the platform's own report of one.
    bool FileOrNothingAt(const std::string& path, const IoError& folderError, PathKind& kind,
                         IoError& error);
    // After a folder's creation was refused because its name is taken: true when a folder
    // holds the name, else false with the error.
    bool FolderAlreadyAt(const std::string& path, IoError& error);
};

// The file system of the platform the program runs on.
std::unique_ptr<FileSystem> MakeNativeFileSystem();

} // namespace patchfile
