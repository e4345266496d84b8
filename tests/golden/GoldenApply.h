#pragma once
#include "EventRecorder.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Applies a golden patch file the way this build ships its engine: natively through the
// engine's own interface, under Wine through fpatch32.dll called as the updater calls it.
// One of EngineApply.cpp and LibraryApply.cpp is linked.
namespace golden {

struct Applied {
    bool done = false;    // every entry applied
    bool damaged = false; // refused as damaged or not ours (event 14)
    uint32_t lastEvent = 0;
    std::string lastText; // the last event's text: for event 14, why the file was refused
};

inline Applied AppliedWith(bool done, bool damaged,
                           const patchfile::testing::EventRecorder& recorder) {
    Applied applied;
    applied.done = done;
    applied.damaged = damaged;
    if (!recorder.events().empty()) {
        applied.lastEvent = recorder.events().back().event;
        applied.lastText = recorder.events().back().text;
    }
    return applied;
}

Applied ApplyPatch(const std::filesystem::path& patch, const std::filesystem::path& folder);

} // namespace golden
