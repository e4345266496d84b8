#include "PatchLibraryCall.h"

#include <algorithm>
#include <vector>

namespace {
// The entry point takes a writable buffer with room for this many characters, though the
// library only reads it.
constexpr size_t kCommandLineCapacity = FPATCH_MAX_COMMAND_LINE;
} // namespace

void ApplyPatchFileWithLibrary(const std::string& fileName, FpatchCallback callback) {
    std::vector<char> commandLine(std::max(kCommandLineCapacity, fileName.size()) + 1, '\0');
    std::copy(fileName.begin(), fileName.end(), commandLine.begin());
    // What the library reports goes through the callback; its result adds nothing to that.
    FpatchApply(commandLine.data(), callback, 1);
}
