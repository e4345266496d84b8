#include "EscapeDecoding.h"

namespace quill {
namespace {

bool DecodeEscapeLetter(char& c) {
    switch (c) {
    case 'n':
        c = '\n';
        return true;
    case 'r':
        c = '\r';
        return true;
    case 't':
        c = '\t';
        return true;
    default:
        return false;
    }
}

} // namespace

void DecodeEscapes(std::string& text, const std::function<void()>& onUnsupported) {
    size_t searchFrom = 0;
    for (;;) {
        size_t backslash = text.find('\\', searchFrom);
        if (backslash == std::string::npos)
            return;
        bool hasNext = backslash + 1 < text.size();
        if (!hasNext || !DecodeEscapeLetter(text[backslash + 1]))
            onUnsupported();
        text.erase(backslash, 1);
        // The next search starts at the decoded character: an LF, CR or TAB is passed over,
        // while a kept backslash starts an escape of its own.
        searchFrom = backslash;
    }
}

} // namespace quill
