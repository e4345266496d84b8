#include "GoldenApply.h"
#include "PatchApplier.h"

namespace golden {

Applied ApplyPatch(const std::filesystem::path& patch, const std::filesystem::path& folder) {
    std::unique_ptr<patchfile::FileSystem> files = patchfile::MakeNativeFileSystem();
    patchfile::testing::EventRecorder recorder;
    patchfile::PatchApplier applier(*files, recorder, nullptr);
    const patchfile::Outcome outcome = applier.Apply(patch.string(), folder.string());
    return AppliedWith(outcome == patchfile::Outcome::Done, outcome == patchfile::Outcome::Damaged,
                       recorder);
}

} // namespace golden
