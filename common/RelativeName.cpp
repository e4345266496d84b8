#include "RelativeName.h"

#include <cctype>

namespace quill {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Windows resolves a device name whatever extension follows it: "nul.txt" is still NUL.
bool IsReservedDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
        if (EqualsIgnoringCase(base, device))
            return true;
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        std::string_view stem = base.substr(0, 3);
        return EqualsIgnoringCase(stem, "COM") || EqualsIgnoringCase(stem, "LPT");
    }
    return false;
}

bool IsSafeComponent(std::string_view component) {
    if (component.empty() || component == "." || component == "..")
        return false;
    char last = component.back();
    if (last == '.' || last == ' ')
        return false;
    return !IsReservedDeviceName(component);
}

} // namespace

bool IsSafeRelativeName(std::string_view name) {
    if (name.empty() || IsSeparator(name.front()))
        return false;
    if (name.find(':') != std::string_view::npos)
        return false;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || IsSeparator(name[i])) {
            if (!IsSafeComponent(name.substr(start, i - start)))
                return false;
            start = i + 1;
        }
    }
    return true;
}

} // namespace quill
