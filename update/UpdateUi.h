#pragma once
#include "FpatchEvents.h"

#include <windows.h>

#include <string>

// The scale of the patch library's progress reports: its full value is a full bar.
constexpr int kPatchProgressRange = FPATCH_PROGRESS_FULL;

// What the update workflow needs of the main dialog: its status display, its message boxes,
// its button and its end, the registry write and the call into the patch library. The
// workflow never touches a window itself, so it runs in tests against a recording stand-in.
class UpdateUi {
public:
    virtual ~UpdateUi() = default;

    // The status display: each call replaces what its control shows.
    virtual void SetStatusText(std::string text) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void SetLogText(std::string text) = 0;
    virtual void SetProgressRange(int low, int high) = 0;

    // A modal box owned by the dialog; returns the button chosen.
    virtual int ShowMessageBox(const std::string& text, UINT type) = 0;
    // The dialog's caption.
    virtual void SetCaption(const std::string& text) = 0;
    // The one button: whether it takes clicks, and what it says.
    virtual void EnableButton(bool enabled) = 0;
    virtual void SetButtonText(const std::string& text) = 0;
    // Asks the dialog to close once the current message is handled, as its close box does.
    virtual void RequestClose() = 0;
    // Ends the dialog at once with `result` (IDOK or IDCANCEL).
    virtual void CloseDialog(int result) = 0;

    // Writes the game's registry value Program; true on success.
    virtual bool WriteProgramPath(const std::string& path) = 0;
    // The install folder's own name, kept in a registry value of the updater's while the
    // folder bears the sanitised one, so that the finish of a later run can still give the
    // name back after this run was killed. Reading gives false when none is kept.
    virtual bool ReadOriginalProgramPath(std::string& path) = 0;
    virtual bool WriteOriginalProgramPath(const std::string& path) = 0;
    virtual void ForgetOriginalProgramPath() = 0;
    // Hands one patch file to the patch library; returns when the library is done with it.
    virtual void ApplyPatchFile(std::string fileName) = 0;
};
