#pragma once
#include "EventReporter.h"
#include "FpatchApply.h"

namespace patchdll {

// Hands the engine's events to the caller's callback; a null answer means stop.
class CallbackEventSink : public patchfile::EventSink {
public:
    explicit CallbackEventSink(FpatchCallback callback) : callback_(callback) {}
    bool OnEvent(uint32_t event, const void* parameter) override {
        // The callback's parameter is not const for historical reasons; it is never written.
        return callback_(event, const_cast<void*>(parameter)) != nullptr;
    }

private:
    FpatchCallback callback_;
};

} // namespace patchdll
