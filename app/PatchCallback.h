#pragma once

// Called by the patch library during an apply call, on the updater's own thread: the event
// goes to the live main dialog's workflow (g_pUpdateDlg). Answers &g_callbackResult to go
// on, or null to stop the library.
void* __stdcall PatchCallback(unsigned int event, void* param);
