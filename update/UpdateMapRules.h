#pragma once
#include <string_view>

namespace quill {

// Whether a file copied from the CD is listed in update.map: game archives (".xarc"), except
// the three the game always loads itself (global, static and the main menu's location).
// Only the ends of the names are compared, ignoring case: "myglobal.xarc" is not listed.
bool IsRecordedInUpdateMap(std::string_view name);

} // namespace quill
