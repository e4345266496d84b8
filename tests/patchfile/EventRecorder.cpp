#include "EventRecorder.h"

namespace patchfile::testing {

bool EventRecorder::OnEvent(uint32_t event, const void* parameter) {
    if (stopped_)
        ++afterStop_;
    RecordedEvent recorded;
    recorded.event = event;
    if ((event == kEventMessage || event == kEventError || event == kEventFile ||
         event == kEventDamaged) &&
        parameter)
        recorded.text = static_cast<const char*>(parameter);
    if (event == kEventProgress)
        recorded.value = *static_cast<const uint32_t*>(parameter);
    events_.push_back(recorded);
    if (event == stopEvent_ && ++seen_ == stopOccurrence_)
        stopped_ = true;
    return !stopped_;
}

size_t EventRecorder::Count(uint32_t event) const {
    size_t count = 0;
    for (const RecordedEvent& recorded : events_)
        count += recorded.event == event;
    return count;
}

std::string EventOutline(const std::vector<RecordedEvent>& events) {
    std::string outline;
    uint32_t previous = 0;
    for (const RecordedEvent& recorded : events) {
        if (recorded.event == kEventIdle && previous == kEventIdle)
            continue;
        outline += (outline.empty() ? "" : " ") + std::to_string(recorded.event);
        previous = recorded.event;
    }
    return outline;
}

} // namespace patchfile::testing
