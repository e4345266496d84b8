#include "UpdateMapRules.h"

#include <cctype>

namespace quill {
namespace {

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size())
        return false;
    std::string_view end = name.substr(name.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(end[i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    }
    return true;
}

} // namespace

bool IsRecordedInUpdateMap(std::string_view name) {
    return EndsWithIgnoringCase(name, ".xarc") && !EndsWithIgnoringCase(name, "global.xarc") &&
           !EndsWithIgnoringCase(name, "static.xarc") &&
           !EndsWithIgnoringCase(name, "mainmenulocation.xarc");
}

} // namespace quill
