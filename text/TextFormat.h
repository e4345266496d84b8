#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace quill {

// One argument of a text template: a number or a text.
class FormatArg {
public:
    FormatArg(int number) : isNumber_(true), number_(number) {}
    FormatArg(const char* text) : text_(text ? text : "") {}
    FormatArg(const std::string& text) : text_(text) {}

    void AppendTo(std::string& out) const;

private:
    bool isNumber_ = false;
    int number_ = 0;
    std::string_view text_;
};

// Fills a template with printf-style placeholders (%s, %i, %d, %u, %%) from typed arguments.
// Templates come from an override file the player can edit, so this never trusts them:
// each placeholder takes the next argument and shows it as what it is, whatever letter the
// template used; a placeholder without an argument, or one this does not know, stays as
// written. Nothing a template says can read or write memory.
std::string FormatText(std::string_view templ, std::initializer_list<FormatArg> args = {});

} // namespace quill
