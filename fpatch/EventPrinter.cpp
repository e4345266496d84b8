#include "EventPrinter.h"

#include <string>

namespace fpatch {
namespace {

bool IsError(uint32_t event) {
    return event == patchfile::kEventError || event == patchfile::kEventDamaged ||
           event == patchfile::kEventFailure;
}

std::string Parameter(uint32_t event, const void* parameter) {
    switch (event) {
    case patchfile::kEventMessage:
    case patchfile::kEventError:
    case patchfile::kEventFile:
    case patchfile::kEventDamaged:
        return parameter ? static_cast<const char*>(parameter) : "";
    case patchfile::kEventProgress:
        return std::to_string(*static_cast<const uint32_t*>(parameter));
    default:
        return {};
    }
}

} // namespace

EventPrinter::EventPrinter(Verbosity verbosity) : verbosity_(verbosity), start_(Clock::now()) {}

bool EventPrinter::OnEvent(uint32_t event, const void* parameter) {
    if (event == patchfile::kEventIdle)
        ++idleEvents_;
    std::string text = Parameter(event, parameter);
    if (verbosity_ == Verbosity::Trace) {
        auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start_).count();
        std::printf("%12lld us  event %u %s\n", static_cast<long long>(micros), event,
                    text.c_str());
    } else if (verbosity_ == Verbosity::Quiet) {
        if (IsError(event))
            std::fprintf(stderr, "fpatch: event %u %s\n", event, text.c_str());
    } else if (event != patchfile::kEventIdle) {
        std::printf("event %u %s\n", event, text.c_str());
    }
    return true;
}

} // namespace fpatch
