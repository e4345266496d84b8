#pragma once
#include "EventRecorder.h"
#include "SampleTrees.h"

#include <string>

namespace patchfile::testing {

// Whether the events are exactly those of applying these entries, in order: patch 7, 3 and
// progress rising from 0 to full; add 3 and progress; delete 3. Between two progress events
// of a file there must be an idle event, and a file gets at most 102 progress events. Idle
// events may come anywhere. Empty when they are; otherwise the first problem.
std::string CheckEntryEvents(const std::vector<RecordedEvent>& events, const EntryList& entries);

} // namespace patchfile::testing
