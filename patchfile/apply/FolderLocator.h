#pragma once
#include "PatchFormat.h"

#include <string>

namespace patchfile {

// Finds the folder a patch file applies to from the locator the builder wrote into it. Only
// the DLL has one (it reads the registry); elsewhere the folder is always given.
class FolderLocator {
public:
    virtual ~FolderLocator() = default;
    // The folder, or false with a text for the player saying what is missing.
    virtual bool Find(const Locator& locator, std::string& folder, std::string& error) = 0;
};

} // namespace patchfile
