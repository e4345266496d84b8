#pragma once
#include <string_view>

namespace quill {

// Whether a file name taken from a patch file may be joined to the game folder.
//
// Names are relative, with `\` or `/` between components. Refused: the empty name; a name that
// starts with a separator; any colon (drive letters, `\\?\` and `\\.\` prefixes, alternate data
// streams); an empty component; a `.` or `..` component; a component ending in a dot or a
// space (Windows drops those, so `a.` would name `a`); a component that is a reserved device
// name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), with or without an extension, in any case.
// Anything accepted stays inside the folder it is joined to.
bool IsSafeRelativeName(std::string_view name);

} // namespace quill
