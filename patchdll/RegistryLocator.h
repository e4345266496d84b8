#pragma once
#include "FolderLocator.h"

namespace patchdll {

// Finds the game folder in a string value under HKEY_CURRENT_USER, as the patch file's
// locator names it (the game's installer writes it there).
class RegistryLocator : public patchfile::FolderLocator {
public:
    bool Find(const patchfile::Locator& locator, std::string& folder, std::string& error) override;
};

} // namespace patchdll
