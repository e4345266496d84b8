#include "ResultSink.h"

namespace patchfile {

bool ResultSink::Write(const void* data, size_t length) {
    IoError error;
    bool tooLong = false;
    if (!result_.Write(data, length, error, tooLong)) {
        if (tooLong)
            status_.Damage(FormatError::ResultMismatch, name_ + " is longer than recorded");
        else
            status_.Fail("cannot write " + name_ + ": " + DescribeIoError(error));
        return false;
    }
    if (!reporter_.AdvanceProgress(doneBefore_ + result_.written(), total_)) {
        status_.Stop();
        return false;
    }
    return true;
}

} // namespace patchfile
