#include "EntryEvents.h"

namespace patchfile::testing {
namespace {

class EventCursor {
public:
    explicit EventCursor(const std::vector<RecordedEvent>& events) : events_(events) {}

    // Skips idle events; true if there was at least one.
    bool SkipIdle() {
        bool idle = false;
        for (; i_ < events_.size() && events_[i_].event == kEventIdle; ++i_)
            idle = true;
        return idle;
    }
    bool AtEnd() const { return i_ == events_.size(); }
    const RecordedEvent* Take() { return AtEnd() ? nullptr : &events_[i_++]; }
    std::string Where() const {
        return "event " + std::to_string(i_) + ": " + EventOutline(events_);
    }

private:
    const std::vector<RecordedEvent>& events_;
    size_t i_ = 0;
};

std::string Expect(EventCursor& cursor, uint32_t event, const std::string& text) {
    cursor.SkipIdle();
    const RecordedEvent* next = cursor.Take();
    if (!next || next->event != event || next->text != text)
        return "expected event " + std::to_string(event) + " " + text + " at " + cursor.Where();
    return {};
}

std::string ExpectProgress(EventCursor& cursor, const std::string& name) {
    cursor.SkipIdle();
    const RecordedEvent* next = cursor.Take();
    if (!next || next->event != kEventProgress || next->value != 0)
        return "no progress 0 for " + name + " at " + cursor.Where();
    uint32_t last = 0;
    for (size_t count = 1; last != kProgressFull; ++count) {
        if (!cursor.SkipIdle())
            return "no idle event before progress of " + name + " at " + cursor.Where();
        next = cursor.Take();
        if (!next || next->event != kEventProgress || next->value <= last ||
            next->value > kProgressFull)
            return "progress of " + name + " does not rise to full at " + cursor.Where();
        if (count > 102)
            return "more than 102 progress events for " + name;
        last = next->value;
    }
    return {};
}

} // namespace

std::string CheckEntryEvents(const std::vector<RecordedEvent>& events, const EntryList& entries) {
    EventCursor cursor(events);
    const char* verbs[] = {"", "Patching ", "Adding ", "Deleting "};
    for (const auto& [kind, name] : entries) {
        std::string problem;
        if (kind == EntryKind::Patch)
            problem = Expect(cursor, kEventFile, name);
        if (problem.empty())
            problem = Expect(cursor, kEventMessage, verbs[static_cast<int>(kind)] + name);
        if (problem.empty() && kind != EntryKind::Delete)
            problem = ExpectProgress(cursor, name);
        if (!problem.empty())
            return problem;
    }
    cursor.SkipIdle();
    return cursor.AtEnd() ? std::string() : "events after the last entry at " + cursor.Where();
}

} // namespace patchfile::testing
