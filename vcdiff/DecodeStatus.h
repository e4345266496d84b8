#pragma once
#include "VcdiffError.h"

#include <cstdint>
#include <string>

namespace vcdiff {

enum class ParseStatus {
    Done,     // the field or unit is complete and valid
    NeedMore, // the bytes given end inside it: wait for more input
    Failed,   // it is invalid; the failure says why
};

// Why decoding failed and where: `offset` is a position in the delta.
struct Failure {
    Error error = Error::None;
    std::string detail;
    uint64_t offset = 0;

    ParseStatus Set(Error code, std::string why, uint64_t at) {
        error = code;
        detail = std::move(why);
        offset = at;
        return ParseStatus::Failed;
    }
};

// Returns from the enclosing function unless the step is done.
#define VCDIFF_TRY(step)                                                                           \
    do {                                                                                           \
        const ::vcdiff::ParseStatus status_ = (step);                                              \
        if (status_ != ::vcdiff::ParseStatus::Done)                                                \
            return status_;                                                                        \
    } while (0)

// Fails the enclosing parse with `code` and a reason when `condition` holds.
#define VCDIFF_FAIL_IF(condition, failure, code, why, at)                                          \
    do {                                                                                           \
        if (condition)                                                                             \
            return (failure).Set((code), (why), (at));                                             \
    } while (0)

} // namespace vcdiff
