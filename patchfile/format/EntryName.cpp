#include "EntryName.h"

#include "PatchFormat.h"
#include "RelativeName.h"

#include <cstring>

namespace patchfile {
namespace {

bool IsAllowedCharacter(unsigned char c) {
    // Control characters and these are not allowed in Windows file names; '/' is refused
    // too, so that a name has exactly one spelling.
    return c >= 0x20 && std::strchr("<>\"|?*/", c) == nullptr;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

FormatError CheckEntryName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength)
        return FormatError::BadName;
    if (!quill::IsSafeRelativeName(name))
        return FormatError::UnsafeName;
    for (char c : name) {
        if (!IsAllowedCharacter(static_cast<unsigned char>(c)))
            return FormatError::BadName;
    }
    if (EndsWith(FoldEntryName(name), FoldEntryName(kTempSuffix)))
        return FormatError::BadName;
    return FormatError::None;
}

std::string FoldEntryName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

} // namespace patchfile
