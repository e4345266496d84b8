#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace plumbing {

// Why decoding or encoding failed and where: `offset` is a position in the input. Each codec
// names its own error codes (`Code`, with a `None` and a `Describe(Code)` beside it) and what
// a failed check returns (`Result`, `kFailed`), so that one check macro serves them all.
template <typename Code, typename Result = bool, Result kFailed = Result{}> struct Failure {
    Code error = Code::None;
    std::string detail;
    uint64_t offset = 0;

    Result Set(Code code, std::string why, uint64_t at) {
        error = code;
        detail = std::move(why);
        offset = at;
        return kFailed;
    }
    // One line: the description, the detail and the offset; empty without a failure.
    std::string Message() const {
        if (error == Code::None) {
            return {};
        }
        std::string text = Describe(error);
        if (!detail.empty()) {
            text += ": " + detail;
        }
        return text + " (at byte " + std::to_string(offset) + " of the delta)";
    }
};

// Fails the enclosing check with `code` and a reason when `condition` holds.
#define PLUMBING_FAIL_IF(condition, failure, code, why, at)                                        \
    do {                                                                                           \
        if (condition)                                                                             \
            return (failure).Set((code), (why), (at));                                             \
    } while (0)

} // namespace plumbing
