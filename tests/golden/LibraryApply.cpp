#include "FpatchApply.h"
#include "GoldenApply.h"

#include <vector>

namespace golden {
namespace {

patchfile::testing::EventRecorder* g_recorder = nullptr;
int32_t g_goOn = 1;

void* __stdcall RecordEvent(uint32_t event, void* parameter) {
    return g_recorder->OnEvent(event, parameter) ? &g_goOn : nullptr;
}

} // namespace

Applied ApplyPatch(const std::filesystem::path& patch, const std::filesystem::path& folder) {
    // As the updater hands it over: a writable buffer with room for the longest line.
    const std::string line = "\"" + patch.string() + "\" \"" + folder.string() + "\"";
    std::vector<char> buffer(FPATCH_MAX_COMMAND_LINE + 1, '\0');
    line.copy(buffer.data(), FPATCH_MAX_COMMAND_LINE);
    patchfile::testing::EventRecorder recorder;
    g_recorder = &recorder;
    const uint32_t result = FpatchApply(buffer.data(), RecordEvent, 1);
    g_recorder = nullptr;
    return AppliedWith(result == FPATCH_OK, result == FPATCH_DAMAGED, recorder);
}

} // namespace golden
