#pragma once
#include "FpatchEvents.h"

#include <windows.h>

// The patch library's events that the updater acts on, as the library's interface numbers
// them.
enum PatchEvent : unsigned int {
    kPatchEventMessage = FPATCH_EVENT_MESSAGE,      // a text for the player
    kPatchEventError = FPATCH_EVENT_ERROR,          // a text describing an error
    kPatchEventProgress = FPATCH_EVENT_PROGRESS,    // a 32-bit position on the library's scale
    kPatchEventPatchingFile = FPATCH_EVENT_FILE,    // the file about to be patched
    kPatchEventFailure = FPATCH_EVENT_FAILURE,      // a failure without text
    kPatchEventInvalidPatch = FPATCH_EVENT_DAMAGED, // the patch file is damaged
    kPatchEventIdle = FPATCH_EVENT_IDLE,            // the window may handle one waiting message
};

// Holds 1 whenever its address is handed out: that address is the answer "go on".
extern int g_callbackResult;

// Called by the patch library during an apply call, on the updater's own thread. Answers
// &g_callbackResult to go on, or null to stop the library.
void* __stdcall PatchCallback(unsigned int event, void* param);
