#pragma once
// The patch library fpatch32.dll as its callers see it: one entry point, exported by
// ordinal 1 only, and the callback through which it reports.

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Called by the library during an apply call, on the caller's thread, nested inside that
// call: `event` says what happened and what `parameter` points to (a NUL-terminated text for
// events 3, 4 and 7; a 32-bit position 0..0x8000 for event 5; nothing for the others). The
// parameter is valid only during the call. Return any non-null pointer to go on, null to
// make the library stop and return promptly. __stdcall.
typedef void*(__stdcall* PatchLibraryCallback)(unsigned int event, void* parameter);

// Applies one patch file. `commandLine` is a writable NUL-terminated buffer the caller owns,
// holding the patch file's name, optionally followed by the folder to patch (in double
// quotes when it holds spaces); the library may write into it. Without a folder the library
// finds the game folder through the locator the patch file carries. The call is synchronous:
// every callback happens before it returns. `wait` is 1. Returns 0 when every entry was
// applied, non-zero otherwise (the reasons went to the callback). __stdcall, ordinal 1.
int __stdcall PatchLibraryApply(char* commandLine, PatchLibraryCallback callback, int wait);

#ifdef __cplusplus
}
#endif
