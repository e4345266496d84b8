#pragma once
#include <string>

// Whether a file or a folder of that name exists; a relative name is taken from the
// current folder.
bool FileExists(const std::string& path);

// Copies `source` onto `target` through a temporary file beside the target that is moved
// into place only once complete and on the disk: a copy that fails part way (a full disk,
// an unreadable CD) or a power cut leaves the target old or new and nothing half-written.
// The temporary file never replaces a file that is there already, and does not outlive a
// failure. On failure `error` holds the system's error code; a target that another program
// holds open gives ERROR_SHARING_VIOLATION.
bool CopyFileIntoPlace(const std::string& source, const std::string& target, unsigned long& error);
