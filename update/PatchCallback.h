#pragma once
#include <windows.h>

// The patch library's events that the updater acts on.
enum PatchEvent : unsigned int {
    kPatchEventMessage = 3,      // a text for the player
    kPatchEventError = 4,        // a text describing an error
    kPatchEventProgress = 5,     // a 32-bit position, 0 to 0x8000
    kPatchEventPatchingFile = 7, // the name of the file about to be patched
    kPatchEventFailure = 13,     // a failure without text
    kPatchEventInvalidPatch = 14,
    kPatchEventIdle = 21, // the window may handle one waiting message
};

// Holds 1 whenever its address is handed out: that address is the answer "go on".
extern int g_callbackResult;

// Called by the patch library during an apply call, on the updater's own thread. Answers
// &g_callbackResult to go on, or null to stop the library.
void* __stdcall PatchCallback(unsigned int event, void* param);
