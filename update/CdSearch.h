#pragma once
#include <cstddef>
#include <string>

namespace quill {

// What the CD search needs to know about the machine's drives.
class DriveProbe {
public:
    virtual ~DriveProbe() = default;
    // The drive's type as GetDriveTypeA reports it (DRIVE_UNKNOWN 0 ... DRIVE_RAMDISK 6).
    virtual unsigned DriveType(const std::string& root) = 0;
    // Whether a file or folder of that name exists.
    virtual bool Exists(const std::string& path) = 0;
};

// The patch files beside the updater: Patch1.rtp to Patch4.rtp, patch n needing CD n.
constexpr int kPatchFileCount = 4;
std::string PatchFileName(int number);

// The CD's marker in the root of a drive: "data<n>.tag".
std::string CdMarkerPath(const std::string& root, int cdNumber);

// Looks for CD `cdNumber` in the drive list that GetLogicalDriveStringsA fills: entries of
// four bytes ("E:\" and a zero), `length` bytes in all without the final zero. The first
// entry is never examined; only CD-ROM, removable and unknown drives are. Returns the root
// of the first drive holding the marker, or the empty text.
std::string FindCdInDriveList(const char* list, size_t length, int cdNumber, DriveProbe& probe);

} // namespace quill
