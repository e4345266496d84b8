#include "NormaliseText.h"

namespace {

void ExpandLineFeeds(std::string& text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        text[at] = '\r';
        text.insert(at + 1, 1, '\n');
    }
}

void CollapseSpaceRuns(std::string& text) {
    std::string collapsed;
    collapsed.reserve(text.size());
    for (char c : text) {
        if (c == ' ' && !collapsed.empty() && collapsed.back() == ' ')
            continue;
        collapsed += c;
    }
    text.swap(collapsed);
}

} // namespace

void NormaliseText(std::string& text) {
    ExpandLineFeeds(text);
    CollapseSpaceRuns(text);
}
