// The DLL's one export. Nothing crosses this boundary but the C types of FpatchApply.h: no
// exception leaves it, whatever the patch file holds.
#include "FpatchApply.h"

#include "BuiltInKey.h"
#include "CallbackEventSink.h"
#include "CommandLine.h"
#include "PatchApplier.h"
#include "RegistryLocator.h"

namespace {

uint32_t ResultOf(patchfile::Outcome outcome) {
    switch (outcome) {
    case patchfile::Outcome::Done:
        return FPATCH_OK;
    case patchfile::Outcome::Stopped:
        return FPATCH_STOPPED;
    case patchfile::Outcome::Failed:
        return FPATCH_FAILED;
    case patchfile::Outcome::Damaged:
        return FPATCH_DAMAGED;
    case patchfile::Outcome::Internal:
        break;
    }
    return FPATCH_FAILURE;
}

uint32_t Apply(const char* commandLine, FpatchCallback callback) {
    patchdll::CallbackEventSink sink(callback);
    patchdll::CommandLine parsed;
    std::string error;
    if (!patchdll::ParseCommandLine(commandLine, FPATCH_MAX_COMMAND_LINE, parsed, error)) {
        sink.OnEvent(FPATCH_EVENT_ERROR, error.c_str());
        return FPATCH_FAILED;
    }
    std::unique_ptr<patchfile::FileSystem> fs = patchfile::MakeNativeFileSystem();
    patchdll::RegistryLocator locator;
    patchfile::PatchApplier applier(*fs, sink, &locator);
    if (!patchdll::TrustBuiltInKey(applier)) {
        sink.OnEvent(FPATCH_EVENT_FAILURE, nullptr);
        return FPATCH_FAILURE;
    }
    return ResultOf(applier.Apply(parsed.patchFile, parsed.folder));
}

} // namespace

extern "C" uint32_t __stdcall FpatchApply(char* commandLine, FpatchCallback callback,
                                          uint32_t /*wait: always synchronous*/) {
    if (!commandLine || !callback)
        return FPATCH_BAD_ARGUMENTS;
    try {
        return Apply(commandLine, callback);
    } catch (...) {
        // Only allocation can throw outside the engine, which catches its own.
        callback(FPATCH_EVENT_FAILURE, nullptr);
        return FPATCH_FAILURE;
    }
}
