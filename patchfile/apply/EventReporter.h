#pragma once
#include "Clock.h"
#include "FpatchEvents.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace patchfile {

// The events the library reports to its caller, as the library's interface numbers them.
enum Event : uint32_t {
    kEventMessage = FPATCH_EVENT_MESSAGE,   // text: a line for the player
    kEventError = FPATCH_EVENT_ERROR,       // text: what failed and why
    kEventProgress = FPATCH_EVENT_PROGRESS, // uint32_t: 0 to kProgressFull
    kEventFile = FPATCH_EVENT_FILE,         // text: the file about to be patched
    kEventFailure = FPATCH_EVENT_FAILURE,   // null: a failure without a text
    kEventDamaged = FPATCH_EVENT_DAMAGED,   // text: why the patch file was refused
    kEventIdle = FPATCH_EVENT_IDLE,         // null: the caller may handle a message
};

constexpr uint32_t kProgressFull = FPATCH_PROGRESS_FULL;
// The caller's window should never wait longer than about 10 ms; half that leaves room for
// the work between two checks.
constexpr auto kIdleInterval = std::chrono::milliseconds(5);

// Whoever receives the events: the DLL's caller, or the command-line front end. Returning
// false asks the library to stop.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual bool OnEvent(uint32_t event, const void* parameter) = 0;
};

// The one path by which the engine reports. It paces the events that cost the caller a
// window round trip: progress at most about a hundred times per file, and the idle event
// often enough that the caller's window keeps breathing. Once the sink has asked to stop,
// nothing more is sent and every call answers false.
class EventReporter {
public:
    explicit EventReporter(EventSink& sink, Clock& clock = SteadyClock());

    bool AnnounceFile(const std::string& name);
    bool Message(const std::string& text);
    // Progress of one file: Start sends 0, Advance sends a rising value (each after an idle
    // event) when it has moved by a hundredth, Finish sends the full value.
    bool StartProgress();
    bool AdvanceProgress(uint64_t done, uint64_t total);
    bool FinishProgress();
    // Called often during work: sends the idle event when it is due.
    bool Idle();

    void ReportError(const std::string& text);
    void ReportDamaged(const std::string& reason);
    void ReportFailure();

    bool stopped() const { return stopped_; }

private:
    bool Send(uint32_t event, const void* parameter);
    bool SendIdle();
    bool SendProgress(uint32_t value);

    EventSink& sink_;
    Clock& clock_;
    bool stopped_ = false;
    uint32_t lastProgress_ = 0;
    uint32_t progressValue_ = 0; // what a progress event's parameter points to
    Clock::TimePoint lastIdle_;
};

} // namespace patchfile
