#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace patchfile {

// The events the library reports to its caller, with what the parameter points to.
enum Event : uint32_t {
    kEventMessage = 3,  // text: a line for the player
    kEventError = 4,    // text: what failed and why
    kEventProgress = 5, // uint32_t: progress of the current file, 0 to kProgressFull
    kEventFile = 7,     // text: the file about to be patched, relative to the game folder
    kEventFailure = 13, // null: a failure without a text
    kEventDamaged = 14, // text: why the patch file was refused (callers may ignore it)
    kEventIdle = 21,    // null: the caller may let its window handle a message
};

constexpr uint32_t kProgressFull = 0x8000;

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
    explicit EventReporter(EventSink& sink);

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
    using Clock = std::chrono::steady_clock;

    bool Send(uint32_t event, const void* parameter);
    bool SendIdle();
    bool SendProgress(uint32_t value);

    EventSink& sink_;
    bool stopped_ = false;
    uint32_t lastProgress_ = 0;
    uint32_t progressValue_ = 0; // what a progress event's parameter points to
    Clock::time_point lastIdle_;
};

} // namespace patchfile
