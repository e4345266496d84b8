#include "PatchEvents.h"

#include "LanguageTable.h"
#include "TextFormat.h"

int g_callbackResult = 1;

namespace {

const char* TextParam(void* param) {
    return param ? static_cast<const char*>(param) : "";
}

void* Stop() {
    return nullptr;
}

void* ReportError(PatchEventTarget* target, const std::string& logText) {
    if (target) {
        target->ui.SetLogText(logText);
        target->error = TRUE;
    }
    return Stop();
}

void* CopyBeforePatching(PatchEventTarget* target, const char* name) {
    if (!target)
        return &g_callbackResult;
    std::string statusLine = quill::FormatText(TableText(5), {name});
    target->copier.CopyFromCD(name);
    // A failed copy leaves its own status line and log text for the player.
    if (target->error)
        return Stop();
    target->ui.SetProgress(0);
    target->ui.SetStatusText(statusLine);
    return &g_callbackResult;
}

} // namespace

void* AnswerPatchEvent(PatchEventTarget* target, MessagePump pump, unsigned int event,
                       void* param) {
    g_callbackResult = 1;
    switch (event) {
    case kPatchEventMessage:
        if (target)
            target->ui.SetLogText(TextParam(param));
        return &g_callbackResult;
    case kPatchEventError:
        return ReportError(target, quill::FormatText(TableText(6), {TextParam(param)}));
    case kPatchEventProgress:
        if (target && param)
            target->ui.SetProgress(*static_cast<const int*>(param));
        return &g_callbackResult;
    case kPatchEventPatchingFile:
        return CopyBeforePatching(target, TextParam(param));
    case kPatchEventFailure:
        if (target)
            target->error = TRUE;
        return Stop();
    case kPatchEventInvalidPatch:
        return ReportError(target, TableText(4));
    case kPatchEventIdle:
        pump();
        return &g_callbackResult;
    default:
        return &g_callbackResult;
    }
}
