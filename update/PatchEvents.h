#pragma once
#include "CdCopier.h"
#include "FpatchEvents.h"
#include "UpdateUi.h"

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

// What the library's events act on during a run: the dialog, the run's error flag and the
// CD copier.
struct PatchEventTarget {
    UpdateUi& ui;
    BOOL& error;
    CdCopier& copier;
};

// Lets the window handle at most one waiting message.
using MessagePump = void (*)();

// Turns one of the library's reports into what the player sees, copies each file from the
// CD before the library patches it, and stops the library on errors. Answers
// &g_callbackResult to go on, or null to stop the library. Without a target (no dialog yet)
// nothing is shown or copied but the answers stay the same; the idle event goes to `pump`
// either way.
void* AnswerPatchEvent(PatchEventTarget* target, MessagePump pump, unsigned int event, void* param);
