#pragma once
/*
 * fpatch32.dll: the events the library sends to its caller's callback during FpatchApply,
 * and the scale of its progress reports. Part of the library's interface (FpatchApply.h
 * includes it); kept apart so that portable code can name the same numbers.
 */

#ifdef __cplusplus
extern "C" {
#endif

/* Events, with what the callback's parameter points to. Per entry of the patch file, in
 * this order:
 *   patch:  FPATCH_EVENT_FILE (before the file is opened; the caller may put the file in
 *           place), FPATCH_EVENT_MESSAGE, then FPATCH_EVENT_PROGRESS rising from 0 to
 *           FPATCH_PROGRESS_FULL with FPATCH_EVENT_IDLE between;
 *   add:    FPATCH_EVENT_MESSAGE, then FPATCH_EVENT_PROGRESS rising;
 *   delete: FPATCH_EVENT_MESSAGE.
 * FPATCH_EVENT_IDLE also comes at least about every 10 ms of work. Progress comes at most
 * about a hundred times per file. A run that fails ends with exactly one of
 * FPATCH_EVENT_ERROR, FPATCH_EVENT_DAMAGED, FPATCH_EVENT_FAILURE. No other event numbers
 * are sent. */
enum FpatchEvent {
    FPATCH_EVENT_MESSAGE = 3,  /* const char*: a line for the player */
    FPATCH_EVENT_ERROR = 4,    /* const char*: what failed, naming the file and the reason */
    FPATCH_EVENT_PROGRESS = 5, /* const uint32_t*: the current file's progress */
    FPATCH_EVENT_FILE = 7,     /* const char*: the file about to be patched, relative to the
                                  game folder, components separated by backslashes */
    FPATCH_EVENT_FAILURE = 13, /* null: a failure without a text (out of memory) */
    FPATCH_EVENT_DAMAGED = 14, /* const char*: the patch file is damaged or not a patch
                                  file; the text says why, and may be ignored */
    FPATCH_EVENT_IDLE = 21     /* null: the caller may let its window handle a message */
};

#define FPATCH_PROGRESS_FULL 0x8000u

#ifdef __cplusplus
}
#endif
