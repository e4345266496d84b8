#pragma once
#include "FormatError.h"

#include <string>
#include <string_view>

namespace patchfile {

// Whether a name may stand in a patch file: FormatError::None, BadName (empty, too long, a
// forward slash, a character Windows does not allow in file names, or ending in the
// temporary-file suffix) or UnsafeName (it could leave the target folder). The builder
// checks its names with the same rule the reader does.
FormatError CheckEntryName(std::string_view name);

// The name as Windows compares names: ASCII letters in upper case. Two entries whose folded
// names are equal name the same file there.
std::string FoldEntryName(std::string_view name);

} // namespace patchfile
