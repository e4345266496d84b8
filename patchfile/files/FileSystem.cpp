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

} // namespace patchfile
