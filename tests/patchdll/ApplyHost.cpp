// A small host that applies a patch file through fpatch32.dll, imported by ordinal as the
// updater does, and prints every event but the idle one. Arguments: the patch file and,
// optionally, the game folder. Exits with the library's result.
#include "FpatchApply.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

unsigned long g_idleEvents = 0;
int32_t g_goOn = 1;

void* __stdcall PrintEvent(uint32_t event, void* parameter) {
    g_goOn = 1;
    if (event == FPATCH_EVENT_IDLE) {
        ++g_idleEvents;
        return &g_goOn;
    }
    std::printf("event %u", event);
    if (event == FPATCH_EVENT_PROGRESS)
        std::printf(" %u", *static_cast<const uint32_t*>(parameter));
    else if (parameter)
        std::printf(" %s", static_cast<const char*>(parameter));
    std::printf("\n");
    return &g_goOn;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: patchdll_apply PATCH [FOLDER]\n");
        return 100;
    }
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += std::string(i > 1 ? " " : "") + "\"" + argv[i] + "\"";
    std::vector<char> buffer(FPATCH_MAX_COMMAND_LINE + 1, '\0');
    line.copy(buffer.data(), FPATCH_MAX_COMMAND_LINE);
    uint32_t result = FpatchApply(buffer.data(), PrintEvent, 1);
    std::printf("result %u (%lu idle events)\n", result, g_idleEvents);
    return static_cast<int>(result);
}
