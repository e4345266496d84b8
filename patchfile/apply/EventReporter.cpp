#include "EventReporter.h"

namespace patchfile {
namespace {

constexpr uint32_t kProgressStep = kProgressFull / 100;

// done / total scaled to 0..kProgressFull without overflow: both are shifted down until the
// product fits in 64 bits.
uint32_t ScaleProgress(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total)
        return kProgressFull;
    while (total > (uint64_t(1) << 48)) {
        done >>= 1;
        total >>= 1;
    }
    return static_cast<uint32_t>(done * kProgressFull / total);
}

} // namespace

EventReporter::EventReporter(EventSink& sink, Clock& clock)
    : sink_(sink), clock_(clock), lastIdle_(clock.Now()) {}

bool EventReporter::Send(uint32_t event, const void* parameter) {
    if (stopped_)
        return false;
    if (!sink_.OnEvent(event, parameter))
        stopped_ = true;
    return !stopped_;
}

bool EventReporter::SendIdle() {
    lastIdle_ = clock_.Now();
    return Send(kEventIdle, nullptr);
}

bool EventReporter::SendProgress(uint32_t value) {
    lastProgress_ = value;
    progressValue_ = value;
    return Send(kEventProgress, &progressValue_);
}

bool EventReporter::AnnounceFile(const std::string& name) {
    return Send(kEventFile, name.c_str());
}

bool EventReporter::Message(const std::string& text) {
    return Send(kEventMessage, text.c_str());
}

bool EventReporter::StartProgress() {
    return SendProgress(0);
}

bool EventReporter::AdvanceProgress(uint64_t done, uint64_t total) {
    uint32_t value = ScaleProgress(done, total);
    // The full value is sent by FinishProgress only, once the file is really in place.
    if (value >= kProgressFull || value < lastProgress_ + kProgressStep)
        return Idle();
    return SendIdle() && SendProgress(value);
}

bool EventReporter::FinishProgress() {
    return SendIdle() && SendProgress(kProgressFull);
}

bool EventReporter::Idle() {
    if (clock_.Now() - lastIdle_ < kIdleInterval)
        return !stopped_;
    return SendIdle();
}

void EventReporter::ReportError(const std::string& text) {
    Send(kEventError, text.c_str());
}

void EventReporter::ReportDamaged(const std::string& reason) {
    Send(kEventDamaged, reason.c_str());
}

void EventReporter::ReportFailure() {
    Send(kEventFailure, nullptr);
}

} // namespace patchfile
