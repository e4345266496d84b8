#pragma once
#include "ApplyStatus.h"
#include "EventReporter.h"
#include "Sink.h"
#include "TempResult.h"

#include <string>

namespace patchfile {

// Where a rebuilt or unpacked file's bytes go: into its temporary file, with progress for
// the player. A failure is recorded in the run's status with its reason: a write error, a
// result longer than recorded (a damaged patch file) or a stop answer.
class ResultSink : public plumbing::Sink {
public:
    // Progress runs from `doneBefore` (work already done on this file) to `total`.
    ResultSink(TempResult& result, const std::string& name, uint64_t doneBefore, uint64_t total,
               EventReporter& reporter, ApplyStatus& status)
        : result_(result), name_(name), doneBefore_(doneBefore), total_(total), reporter_(reporter),
          status_(status) {}

    bool Write(const void* data, size_t length) override;

private:
    bool WritePiece(const uint8_t* data, size_t length);

    TempResult& result_;
    const std::string& name_;
    uint64_t doneBefore_;
    uint64_t total_;
    EventReporter& reporter_;
    ApplyStatus& status_;
};

} // namespace patchfile
