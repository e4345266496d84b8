#pragma once
/*
 * fpatch32.dll: applies one patch file to the game folder.
 *
 * The DLL exports one function, FpatchApply, by ordinal 1 only (no name). Programs link the
 * import library made from fpatch32.def, which imports it by that ordinal.
 *
 * Calling convention: both FpatchApply and the callback are __stdcall (the callee removes
 * its arguments from the stack); every argument and result is 32 bits wide.
 *
 * Call order: FpatchApply runs synchronously on the calling thread. Every callback call
 * happens during it, on that thread, nested inside it; when it returns, the library is done
 * with the patch file and keeps nothing. The call is not reentrant: the callback must not
 * call FpatchApply.
 *
 * Ownership: the command line stays the caller's; the library reads it and never writes
 * it, although the buffer is writable. A text or integer handed to the callback belongs to
 * the library and is valid only during that callback call: copy what you keep. The
 * callback's answer is only compared with null; the library never reads or writes through
 * it.
 */
#include "FpatchEvents.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Results of FpatchApply. */
enum FpatchResult {
    FPATCH_OK = 0,           /* every entry applied */
    FPATCH_STOPPED = 1,      /* the callback answered stop */
    FPATCH_FAILED = 2,       /* reported with FPATCH_EVENT_ERROR */
    FPATCH_DAMAGED = 3,      /* reported with FPATCH_EVENT_DAMAGED */
    FPATCH_FAILURE = 4,      /* reported with FPATCH_EVENT_FAILURE */
    FPATCH_BAD_ARGUMENTS = 5 /* no callback or no command line: nothing was reported */
};

/* The callback: a non-null answer means go on, null means stop. After a stop answer the
 * library sends no further event, leaves every file either old or new, and returns
 * promptly. */
typedef void*(__stdcall* FpatchCallback)(uint32_t event, void* parameter);

/* The longest command line read, without its terminating NUL. */
#define FPATCH_MAX_COMMAND_LINE 2000

/* commandLine: NUL-terminated, in the ANSI code page: the patch file's name (relative to
 *   the current directory or absolute), optionally followed by the game folder, which then
 *   takes the place of the folder the patch file's locator names (a registry value under
 *   HKEY_CURRENT_USER). A name holding spaces is put in double quotes.
 * callback: receives the events above; must not be null.
 * wait: the call is always synchronous; pass 1.
 * Returns an FpatchResult. */
uint32_t __stdcall FpatchApply(char* commandLine, FpatchCallback callback, uint32_t wait);

#define FPATCH_APPLY_ORDINAL 1

#ifdef __cplusplus
}
#endif
