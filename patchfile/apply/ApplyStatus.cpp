#include "ApplyStatus.h"

namespace patchfile {

void ApplyStatus::Damage(FormatError format, const std::string& where) {
    std::string reason = DescribeFormatError(format);
    if (!where.empty())
        reason += " (" + where + ")";
    Set(Outcome::Damaged, format, reason);
}

void ApplyStatus::Set(Outcome outcome, FormatError format, const std::string& text) {
    if (!ok())
        return;
    outcome_ = outcome;
    format_ = format;
    text_ = text;
}

} // namespace patchfile
