#pragma once
#include "Failure.h"
#include "VcdiffError.h"

namespace vcdiff {

enum class ParseStatus {
    Done,     // the field or unit is complete and valid
    NeedMore, // the bytes given end inside it: wait for more input
    Failed,   // it is invalid; the failure says why
};

// Why decoding failed and where: `offset` is a position in the delta.
using Failure = plumbing::Failure<Error, ParseStatus, ParseStatus::Failed>;

// Returns from the enclosing function unless the step is done.
#define VCDIFF_TRY(step)                                                                           \
    do {                                                                                           \
        const ::vcdiff::ParseStatus status_ = (step);                                              \
        if (status_ != ::vcdiff::ParseStatus::Done)                                                \
            return status_;                                                                        \
    } while (0)

} // namespace vcdiff
