#include "CdSearch.h"

#include "TextFormat.h"

#include <cstring>

namespace quill {
namespace {

constexpr size_t kEntrySize = 4;
constexpr unsigned kDriveUnknown = 0;
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveCdRom = 5;

bool MayHoldTheCd(unsigned type) {
    return type == kDriveCdRom || type == kDriveRemovable || type == kDriveUnknown;
}

} // namespace

std::string PatchFileName(int number) {
    return FormatText("Patch%i.rtp", {number});
}

std::string CdMarkerPath(const std::string& root, int cdNumber) {
    return FormatText("%sdata%i.tag", {root, cdNumber});
}

std::string FindCdInDriveList(const char* list, size_t length, int cdNumber, DriveProbe& probe) {
    // Entry 0 (the first drive, usually A:) is never examined.
    for (size_t offset = kEntrySize; offset < length; offset += kEntrySize) {
        std::string root(list + offset, strnlen(list + offset, length - offset));
        if (MayHoldTheCd(probe.DriveType(root)) && probe.Exists(CdMarkerPath(root, cdNumber)))
            return root;
    }
    return std::string();
}

} // namespace quill
