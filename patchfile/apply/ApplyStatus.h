#pragma once
#include "FormatError.h"

#include <string>

namespace patchfile {

// How applying a patch file ended.
enum class Outcome {
    Done,     // every entry applied
    Stopped,  // the caller answered stop
    Failed,   // an error with a text for the player (event 4)
    Damaged,  // the patch file is damaged or not ours (event 14)
    Internal, // a failure without a text (event 13)
};

// The one sticky error of a run: the first failure is kept, later ones (often consequences
// of the first, such as a decoder refusing after its sink failed) are ignored.
class ApplyStatus {
public:
    bool ok() const { return outcome_ == Outcome::Done; }
    Outcome outcome() const { return outcome_; }
    FormatError format() const { return format_; }
    // The error text for Failed, the reason for Damaged.
    const std::string& text() const { return text_; }

    void Fail(const std::string& text) { Set(Outcome::Failed, FormatError::None, text); }
    void Damage(FormatError format, const std::string& where);
    void Stop() { Set(Outcome::Stopped, FormatError::None, {}); }
    void FailWithoutText() { Set(Outcome::Internal, FormatError::None, {}); }

private:
    void Set(Outcome outcome, FormatError format, const std::string& text);

    Outcome outcome_ = Outcome::Done;
    FormatError format_ = FormatError::None;
    std::string text_;
};

} // namespace patchfile
