#include "FileSystem.h"

namespace patchfile {

std::string DescribeIoError(const IoError& error) {
    switch (error.kind) {
    case IoError::Kind::None:
        return "no error";
    case IoError::Kind::NotFound:
        return "it does not exist";
    case IoError::Kind::IsFolder:
        return "a folder is in its place";
    case IoError::Kind::AccessDenied:
        return "access is denied";
    case IoError::Kind::InUse:
        return "it is in use by another program";
    case IoError::Kind::DiskFull:
        return "the disk is full";
    case IoError::Kind::Exists:
        return "a file of that name is there already";
    case IoError::Kind::Other:
        break;
    }
    return error.systemText.empty() ? std::string("the system reported an error")
                                    : error.systemText;
}

IoError OwnError(const char* text) {
    IoError error;
    error.kind = IoError::Kind::Other;
    error.systemText = text;
    return error;
}

bool FileSystem::FileOrNothingAt(const std::string& path, const IoError& folderError,
                                 PathKind& kind, IoError& error) {
    if (!Kind(path, kind, error))
        return false;
    if (kind == PathKind::Folder) {
        error = folderError;
        return false;
    }
    return true;
}

bool FileSystem::FolderAlreadyAt(const std::string& path, IoError& error) {
    PathKind kind = PathKind::Missing;
    if (!Kind(path, kind, error))
        return false;
    if (kind == PathKind::Folder)
        return true;
    error = OwnError("a file is in its place");
    return false;
}

} // namespace patchfile
