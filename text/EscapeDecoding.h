#pragma once
#include <functional>
#include <string>

namespace quill {

// Decodes the escapes of an override text in place: a backslash followed by `n`, `r` or `t`
// (lower case only) becomes LF, CR or TAB. Any other backslash is dropped and the character
// behind it kept, and `onUnsupported` is called once for it (the updater tells the player).
// The character behind a backslash is never examined again as the start of an escape unless
// it is itself a backslash, so "\\n" gives one complaint and one LF.
void DecodeEscapes(std::string& text, const std::function<void()>& onUnsupported);

} // namespace quill
