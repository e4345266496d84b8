#include "ResultSink.h"

#include "BuildSizes.h"

namespace patchfile {

bool ResultSink::Write(const void* data, size_t length) {
    // In pieces, so that progress and the idle event keep coming during a large write.
    constexpr size_t kPiece = quill::SizeFor<size_t>(64 * 1024, 1024);
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (length > 0) {
        size_t piece = length < kPiece ? length : kPiece;
        if (!WritePiece(bytes, piece))
            return false;
        bytes += piece;
        length -= piece;
    }
    return true;
}

bool ResultSink::WritePiece(const uint8_t* data, size_t length) {
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
