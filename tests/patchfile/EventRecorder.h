#pragma once
#include "EventReporter.h"

#include <string>
#include <vector>

namespace patchfile::testing {

struct RecordedEvent {
    uint32_t event = 0;
    std::string text;   // events 3, 4, 7 and 14
    uint32_t value = 0; // event 5
};

// Records every event as the updater would see it, and answers stop at the n-th event of
// one kind when asked to.
class EventRecorder : public EventSink {
public:
    EventRecorder() = default;
    EventRecorder(uint32_t stopEvent, size_t stopOccurrence)
        : stopEvent_(stopEvent), stopOccurrence_(stopOccurrence) {}

    bool OnEvent(uint32_t event, const void* parameter) override;

    const std::vector<RecordedEvent>& events() const { return events_; }
    size_t Count(uint32_t event) const;
    bool stopped() const { return stopped_; }
    // Events after a stop answer: there must be none.
    size_t eventsAfterStop() const { return afterStop_; }

private:
    std::vector<RecordedEvent> events_;
    uint32_t stopEvent_ = 0;
    size_t stopOccurrence_ = 0;
    size_t seen_ = 0;
    bool stopped_ = false;
    size_t afterStop_ = 0;
};

// The event numbers in order, with runs of idle events shown once, e.g. "7 3 5 21 5".
std::string EventOutline(const std::vector<RecordedEvent>& events);

} // namespace patchfile::testing
