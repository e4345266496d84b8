#include "TextFormat.h"

#include <cstring>
#include <vector>

namespace quill {

void FormatArg::AppendTo(std::string& out) const {
    if (isNumber_)
        out += std::to_string(number_);
    else
        out.append(text_.data(), text_.size());
}

namespace {

bool IsKnownConversion(char c) {
    return std::strchr("sidu", c) != nullptr;
}

} // namespace

std::string FormatText(std::string_view templ, std::initializer_list<FormatArg> args) {
    std::vector<const FormatArg*> pending;
    for (const FormatArg& arg : args)
        pending.push_back(&arg);
    size_t nextArg = 0;

    std::string out;
    out.reserve(templ.size() + 64);
    for (size_t i = 0; i < templ.size(); ++i) {
        char c = templ[i];
        if (c != '%' || i + 1 == templ.size()) {
            out += c;
            continue;
        }
        char conversion = templ[i + 1];
        if (conversion == '%') {
            out += '%';
            ++i;
        } else if (IsKnownConversion(conversion) && nextArg < pending.size()) {
            pending[nextArg++]->AppendTo(out);
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace quill
